// The display as the program sees it, as Windows shows a program its
// primary monitor and one system DPI: the monitor its full-screen windows
// cover and its dialogs are placed on (RandR's primary, else the one at 0,0,
// else the first), and the one DPI of every window and font (the desktop's
// own setting, else the whole X screen's pixels over its millimetres). A
// monitor's pixels are never set against the whole screen's millimetres:
// with two monitors that would shrink every window by one monitor's share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rt::fltk {

struct Monitor {
  int x = 0, y = 0, width = 0, height = 0;
  bool primary = false;
};

struct Dpi {
  double x = 96, y = 96;
};

// Both need the display open.
Monitor ProgramMonitor();
Dpi ProgramDpi();

// An integer setting ("Net/DoubleClickTime") of the desktop's XSETTINGS
// manager; nothing where none runs or it has no such integer.
std::optional<std::int32_t> DesktopSettingInteger(const char* name);

namespace detail {

// A window property as the server answered a request for it.
struct Property {
  bool read = false;                 // the request succeeded
  unsigned long type = 0;
  int format = 0;
  std::optional<std::string> bytes;  // nothing where no data came back
};

// The display's answers, one X request each: the choices made from them are
// tried in the tests on made-up displays, without an X server.
class XServer {
 public:
  virtual ~XServer() = default;
  virtual bool HasRandr() = 0;
  struct Version {
    int major = 0, minor = 0;
  };
  virtual std::optional<Version> RandrVersion() = 0;
  virtual std::vector<Monitor> RandrMonitors(int screen) = 0;
  virtual std::vector<Monitor> XineramaMonitors() = 0;
  virtual int ScreenNumber() = 0;
  virtual int WidthPx(int screen) = 0;
  virtual int WidthMm(int screen) = 0;
  virtual int HeightPx(int screen) = 0;
  virtual int HeightMm(int screen) = 0;
  virtual unsigned long RootOf(int screen) = 0;
  virtual unsigned long AtomIfExists(const std::string& name) = 0;
  virtual unsigned long SelectionOwner(unsigned long selection) = 0;
  // At most `longs` 32-bit units of it, as XGetWindowProperty reads.
  virtual Property ReadProperty(unsigned long window, unsigned long property, long longs, unsigned long type) = 0;
};

// The answers of FLTK's open display.
XServer& FltkDisplay();

Monitor ProgramMonitor(XServer& x);
Dpi ProgramDpi(XServer& x);
std::optional<std::int32_t> DesktopSettingInteger(XServer& x, const char* name);

// The value of one resource of a resource manager's text, as Xlib's resource
// database looks it up; nothing where it is absent.
std::optional<std::string> ResourceValue(const std::string& resources, const char* name, const char* cls);

// The Xft.dpi resource of the resource manager's text, as it stands (not
// yet checked for use); nothing where it is absent or not a number.
std::optional<double> XftDpiOfResources(const std::string& resources);

// RandR's primary, else the monitor at 0,0, else the first, of those that
// have a size; nothing when none has.
std::optional<Monitor> ChooseMonitor(const std::vector<Monitor>& monitors);

struct DpiSources {
  std::optional<std::int32_t> xsettings;  // Xft/DPI, in 1024ths of a dot
  std::optional<double> resource;         // the Xft.dpi resource
  int width_px = 0, width_mm = 0, height_px = 0, height_mm = 0;  // the whole X screen
};

// The desktop's setting, the same across and down; else the screen's own
// figures, each axis by itself; else 96. Whole dots.
Dpi ChooseDpi(const DpiSources& sources);

}  // namespace detail

}  // namespace rt::fltk
