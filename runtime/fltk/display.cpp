// The program's monitor and DPI, chosen from what RandR (1.5 monitors),
// Xinerama, XSETTINGS and the resource database say.
#include "runtime/fltk/display.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

#include "runtime/fltk/xsettings.h"

// Constants only: the requests themselves are in x_queries.cpp.
#include <X11/X.h>
#include <X11/Xatom.h>

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

std::vector<Monitor> RandrMonitors(detail::XServer& x) {
  if (!x.HasRandr()) return {};
  const std::optional<detail::XServer::Version> v = x.RandrVersion();
  if (!v || v->major < 1 || (v->major == 1 && v->minor < 5)) return {};
  return x.RandrMonitors(x.ScreenNumber());
}

// The property's bytes where it is of the type asked for, in bytes.
std::optional<std::string> Bytes(detail::XServer& x, unsigned long window, unsigned long property,
                                 unsigned long type) {
  detail::Property p = x.ReadProperty(window, property, kLongestSettingsLongs, type);
  if (p.read && p.type == type && p.format == 8 && p.bytes) return std::move(p.bytes);
  return std::nullopt;
}

// Read from the root window, not as Xlib kept it when the display opened.
std::optional<double> XftDpiResource(detail::XServer& x) {
  const std::optional<std::string> text = Bytes(x, x.RootOf(0), XA_RESOURCE_MANAGER, XA_STRING);
  if (!text) return std::nullopt;
  return detail::XftDpiOfResources(*text);
}

}  // namespace

namespace detail {

std::optional<double> XftDpiOfResources(const std::string& resources) {
  const std::optional<std::string> value = ResourceValue(resources, "Xft.dpi", "Xft.Dpi");
  if (!value) return std::nullopt;
  char* end = nullptr;
  const double d = std::strtod(value->c_str(), &end);
  if (end == value->c_str()) return std::nullopt;
  return d;
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

Monitor ProgramMonitor(XServer& x) {
  // Xinerama's heads where RandR lists no monitor of any size.
  std::optional<Monitor> m = ChooseMonitor(RandrMonitors(x));
  if (!m) m = ChooseMonitor(x.XineramaMonitors());
  if (m) return *m;
  const int screen = x.ScreenNumber();
  return {0, 0, x.WidthPx(screen), x.HeightPx(screen), true};
}

Dpi ProgramDpi(XServer& x) {
  DpiSources s;
  s.xsettings = DesktopSettingInteger(x, "Xft/DPI");
  s.resource = XftDpiResource(x);
  const int screen = x.ScreenNumber();
  s.width_px = x.WidthPx(screen);
  s.width_mm = x.WidthMm(screen);
  s.height_px = x.HeightPx(screen);
  s.height_mm = x.HeightMm(screen);
  return ChooseDpi(s);
}

std::optional<std::int32_t> DesktopSettingInteger(XServer& x, const char* name) {
  const unsigned long manager = x.AtomIfExists("_XSETTINGS_S" + std::to_string(x.ScreenNumber()));
  const unsigned long settings = x.AtomIfExists("_XSETTINGS_SETTINGS");
  if (manager == None || settings == None) return std::nullopt;
  const unsigned long owner = x.SelectionOwner(manager);
  if (owner == None) return std::nullopt;
  const std::optional<std::string> bytes = Bytes(x, owner, settings, settings);
  if (!bytes) return std::nullopt;
  return XSettingsInteger(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size(), name);
}

}  // namespace detail

Monitor ProgramMonitor() { return detail::ProgramMonitor(detail::FltkDisplay()); }

Dpi ProgramDpi() { return detail::ProgramDpi(detail::FltkDisplay()); }

std::optional<std::int32_t> DesktopSettingInteger(const char* name) {
  return detail::DesktopSettingInteger(detail::FltkDisplay(), name);
}

}  // namespace rt::fltk
