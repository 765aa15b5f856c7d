// The requests display.cpp decides from, made of FLTK's open display: calls
// and the copying of their answers, no choices.
#include <optional>
#include <string>
#include <vector>

#include "runtime/fltk/display.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

namespace rt::fltk::detail {

namespace {

class FltkXServer final : public XServer {
 public:
  bool HasRandr() override {
    int event_base = 0, error_base = 0;
    return XRRQueryExtension(fl_display, &event_base, &error_base);
  }
  std::optional<Version> RandrVersion() override {
    Version v;
    if (!XRRQueryVersion(fl_display, &v.major, &v.minor)) return std::nullopt;
    return v;
  }
  std::vector<Monitor> RandrMonitors(int screen) override {
    std::vector<Monitor> out;
    int n = 0;
    XRRMonitorInfo* m = XRRGetMonitors(fl_display, RootWindow(fl_display, screen), True, &n);
    if (!m) return out;
    for (int i = 0; i < n; ++i)
      out.push_back({m[i].x, m[i].y, m[i].width, m[i].height, static_cast<bool>(m[i].primary)});
    XRRFreeMonitors(m);
    return out;
  }
  // Xinerama's heads as FLTK reads them; they name no primary.
  std::vector<Monitor> XineramaMonitors() override {
    std::vector<Monitor> out;
    for (int i = 0; i < Fl::screen_count(); ++i) {
      Monitor m;
      Fl::screen_xywh(m.x, m.y, m.width, m.height, i);
      out.push_back(m);
    }
    return out;
  }
  int ScreenNumber() override { return fl_screen; }
  int WidthPx(int screen) override { return DisplayWidth(fl_display, screen); }
  int WidthMm(int screen) override { return DisplayWidthMM(fl_display, screen); }
  int HeightPx(int screen) override { return DisplayHeight(fl_display, screen); }
  int HeightMm(int screen) override { return DisplayHeightMM(fl_display, screen); }
  unsigned long RootOf(int screen) override { return RootWindow(fl_display, screen); }
  unsigned long AtomIfExists(const std::string& name) override {
    return XInternAtom(fl_display, name.c_str(), True);
  }
  unsigned long SelectionOwner(unsigned long selection) override {
    return XGetSelectionOwner(fl_display, selection);
  }
  Property ReadProperty(unsigned long window, unsigned long property, long longs, unsigned long type) override {
    Property p;
    Atom actual = None;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    p.read = XGetWindowProperty(fl_display, window, property, 0, longs, False, type, &actual, &p.format, &count,
                                &after, &data) == Success;
    p.type = actual;
    if (data) {
      p.bytes.emplace(reinterpret_cast<const char*>(data), count);
      XFree(data);
    }
    return p;
  }
};

}  // namespace

XServer& FltkDisplay() {
  static FltkXServer display;
  return display;
}

std::optional<std::string> ResourceValue(const std::string& resources, const char* name, const char* cls) {
  std::optional<std::string> found;
  XrmInitialize();
  if (XrmDatabase db = XrmGetStringDatabase(resources.c_str())) {
    char* kind = nullptr;
    XrmValue value{};
    if (XrmGetResource(db, name, cls, &kind, &value) && value.addr) found.emplace(value.addr);
    XrmDestroyDatabase(db);
  }
  return found;
}

}  // namespace rt::fltk::detail
