// The desktop's double-click time: Net/DoubleClickTime of its XSETTINGS
// manager when one runs, else 500 ms, Windows' default.
#include <string>

#include "runtime/fltk/fltk_backend.h"
#include "runtime/fltk/xsettings.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/x.H>

namespace rt::fltk {

namespace {

constexpr std::int64_t kDefaultDoubleClickMs = 500;
// Longer than any desktop offers; a value past it is no setting of a user's.
constexpr std::int32_t kLongestDoubleClickMs = 5000;
constexpr long kLongestSettingsLongs = 16384;

std::optional<std::int32_t> DesktopDoubleClickMs() {
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
  std::optional<std::int32_t> ms;
  if (rc == Success && type == settings && format == 8 && data)
    ms = detail::XSettingsInteger(data, count, "Net/DoubleClickTime");
  if (data) XFree(data);
  return ms;
}

}  // namespace

// Read at every click, so a change on the desktop counts at once.
std::int64_t FltkBackend::DoubleClickMicros() {
  const std::optional<std::int32_t> ms = DesktopDoubleClickMs();
  const bool usable = ms && *ms > 0 && *ms <= kLongestDoubleClickMs;
  return (usable ? *ms : kDefaultDoubleClickMs) * 1000;
}

}  // namespace rt::fltk
