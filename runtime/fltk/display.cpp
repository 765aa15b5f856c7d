// The program's monitor and DPI, read from RandR (1.5 monitors), Xinerama,
// XSETTINGS and the resource database.
#include "runtime/fltk/display.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "runtime/fltk/xsettings.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

namespace rt::fltk {

namespace {

constexpr double kDefaultDpi = 96;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kXSettingsDpiUnit = 1024;
constexpr long kLongestSettingsLongs = 16384;

// A DPI a desktop could mean, in whole dots (an X server keeps the screen's
// size in whole millimetres: 96 comes back as 95.9); GNOME writes -1 for
// "not set".
std::optional<double> Usable(double dpi) {
  if (!std::isfinite(dpi) || dpi < 24 || dpi > 1200) return std::nullopt;
  return std::round(dpi);
}

std::optional<double> PerInch(int px, int mm) {
  if (px <= 0 || mm <= 0) return std::nullopt;
  return Usable(px * kMillimetresPerInch / mm);
}

std::vector<Monitor> RandrMonitors() {
  std::vector<Monitor> out;
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(fl_display, &event_base, &error_base) || !XRRQueryVersion(fl_display, &major, &minor) ||
      major < 1 || (major == 1 && minor < 5))
    return out;
  int n = 0;
  XRRMonitorInfo* m = XRRGetMonitors(fl_display, RootWindow(fl_display, fl_screen), True, &n);
  for (int i = 0; m && i < n; ++i)
    out.push_back({m[i].x, m[i].y, m[i].width, m[i].height, m[i].primary != 0});
  if (m) XRRFreeMonitors(m);
  return out;
}

// Xinerama's heads as FLTK reads them; they name no primary.
std::vector<Monitor> XineramaMonitors() {
  std::vector<Monitor> out;
  for (int i = 0; i < Fl::screen_count(); ++i) {
    Monitor m;
    Fl::screen_xywh(m.x, m.y, m.width, m.height, i);
    out.push_back(m);
  }
  return out;
}

// Read from the root window, not as Xlib kept it when the display opened.
std::optional<double> XftDpiResource() {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int rc = XGetWindowProperty(fl_display, RootWindow(fl_display, 0), XA_RESOURCE_MANAGER, 0,
                                    kLongestSettingsLongs, False, XA_STRING, &type, &format, &count, &after, &data);
  std::optional<double> dpi;
  if (rc == Success && type == XA_STRING && format == 8 && data)
    dpi = detail::XftDpiOfResources(std::string(reinterpret_cast<const char*>(data), count));
  if (data) XFree(data);
  return dpi;
}

}  // namespace

namespace detail {

std::optional<double> XftDpiOfResources(const std::string& resources) {
  std::optional<double> dpi;
  XrmInitialize();
  if (XrmDatabase db = XrmGetStringDatabase(resources.c_str())) {
    char* kind = nullptr;
    XrmValue value{};
    if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &kind, &value) && value.addr) {
      char* end = nullptr;
      const double d = std::strtod(value.addr, &end);
      if (end != value.addr) dpi = d;
    }
    XrmDestroyDatabase(db);
  }
  return dpi;
}

std::optional<Monitor> ChooseMonitor(const std::vector<Monitor>& all) {
  std::vector<Monitor> monitors;
  for (const Monitor& m : all)
    if (m.width > 0 && m.height > 0) monitors.push_back(m);
  if (monitors.empty()) return std::nullopt;
  for (const Monitor& m : monitors)
    if (m.primary) return m;
  for (const Monitor& m : monitors)
    if (m.x == 0 && m.y == 0) return m;
  return monitors.front();
}

Dpi ChooseDpi(const DpiSources& s) {
  std::optional<double> desktop;
  if (s.xsettings) desktop = Usable(*s.xsettings / kXSettingsDpiUnit);
  if (!desktop && s.resource) desktop = Usable(*s.resource);
  if (desktop) return {*desktop, *desktop};
  return {PerInch(s.width_px, s.width_mm).value_or(kDefaultDpi),
          PerInch(s.height_px, s.height_mm).value_or(kDefaultDpi)};
}

}  // namespace detail

Monitor ProgramMonitor() {
  std::vector<Monitor> all = RandrMonitors();
  if (all.empty()) all = XineramaMonitors();
  if (std::optional<Monitor> m = detail::ChooseMonitor(all)) return *m;
  return {0, 0, DisplayWidth(fl_display, fl_screen), DisplayHeight(fl_display, fl_screen), true};
}

Dpi ProgramDpi() {
  detail::DpiSources s;
  s.xsettings = DesktopSettingInteger("Xft/DPI");
  s.resource = XftDpiResource();
  s.width_px = DisplayWidth(fl_display, fl_screen);
  s.width_mm = DisplayWidthMM(fl_display, fl_screen);
  s.height_px = DisplayHeight(fl_display, fl_screen);
  s.height_mm = DisplayHeightMM(fl_display, fl_screen);
  return detail::ChooseDpi(s);
}

std::optional<std::int32_t> DesktopSettingInteger(const char* name) {
  const std::string selection = "_XSETTINGS_S" + std::to_string(fl_screen);
  const Atom manager = XInternAtom(fl_display, selection.c_str(), True);
  const Atom settings = XInternAtom(fl_display, "_XSETTINGS_SETTINGS", True);
  if (manager == None || settings == None) return std::nullopt;
  const Window owner = XGetSelectionOwner(fl_display, manager);
  if (owner == None) return std::nullopt;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int rc = XGetWindowProperty(fl_display, owner, settings, 0, kLongestSettingsLongs, False, settings, &type,
                                    &format, &count, &after, &data);
  std::optional<std::int32_t> value;
  if (rc == Success && type == settings && format == 8 && data) value = detail::XSettingsInteger(data, count, name);
  if (data) XFree(data);
  return value;
}

}  // namespace rt::fltk
