// The desktop's double-click time: Net/DoubleClickTime of its XSETTINGS
// manager when one runs, else 500 ms, Windows' default.
#include "runtime/fltk/display.h"
#include "runtime/fltk/fltk_backend.h"

namespace rt::fltk {

namespace {

constexpr std::int64_t kDefaultDoubleClickMs = 500;
// Longer than any desktop offers; a value past it is no setting of a user's.
constexpr std::int32_t kLongestDoubleClickMs = 5000;

}  // namespace

// Read at every click, so a change on the desktop counts at once.
std::int64_t FltkBackend::DoubleClickMicros() {
  const std::optional<std::int32_t> ms = DesktopSettingInteger("Net/DoubleClickTime");
  const bool usable = ms && *ms > 0 && *ms <= kLongestDoubleClickMs;
  return (usable ? *ms : kDefaultDoubleClickMs) * 1000;
}

}  // namespace rt::fltk
