// The screen's size and DPI, the frame a window's style adds, the clock and
// the double-click time, the mouse pointer.
#include "runtime/win32/backend.h"

namespace rt::win32 {

ScreenMetrics Win32Backend::Screen() {
  if (screen_) return *screen_;
  ScreenMetrics m;
  m.width_px = GetSystemMetrics(SM_CXSCREEN);
  m.height_px = GetSystemMetrics(SM_CYSCREEN);
  m.twips_per_pixel_x = static_cast<Single>(kTwipsPerInch) / static_cast<Single>(fonts_.DpiX());
  m.twips_per_pixel_y = static_cast<Single>(kTwipsPerInch) / static_cast<Single>(fonts_.DpiY());
  screen_ = m;
  return m;
}

FrameInsets Win32Backend::Frame(const Form& window) {
  if (window.Maximized()) return {};
  const WindowStyle s = StyleOf(window);
  for (const auto& [style, insets] : frames_)
    if (style.style == s.style && style.ex_style == s.ex_style) return insets;
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, s.style, FALSE, s.ex_style);
  frames_.push_back({s, {-r.left, -r.top, r.right, r.bottom}});
  return frames_.back().second;
}

Time Win32Backend::Now() { return SteadyNow(); }

std::int64_t Win32Backend::DoubleClickMicros() { return static_cast<std::int64_t>(GetDoubleClickTime()) * 1000; }

void Win32Backend::SetPointer(int pointer) {
  pointer_ = pointer;
  // WM_SETCURSOR comes only when the mouse moves; show the change at once.
  POINT at;
  if (GetCursorPos(&at) && WindowOf(WindowFromPoint(at)))
    SetCursor(pointer == kPointerHourglass ? wait_ : arrow_);
}

}  // namespace rt::win32
