// The screen: size of the program's monitor and the program's DPI, the
// window manager's frame insets, and the desktop's double-click time.
#include "runtime/fltk/backend.h"
#include "runtime/fltk/display.h"
#include "runtime/fltk/windows.h"
#include "runtime/fltk/wm.h"
#include "runtime/form.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>

namespace rt::fltk {

namespace {

// A dialog's frame where the window manager tells it neither when asked nor
// for a window mapped out of sight: a thin border and a title bar for the
// standard font.
constexpr FrameInsets kUsualFrame{4, 24, 4, 4};
// Net/DoubleClickTime of the XSETTINGS manager when one runs, else Windows'
// default.
constexpr std::int64_t kDefaultDoubleClickMs = 500;
// Longer than any desktop offers; a value past it is no setting of a user's.
constexpr std::int32_t kLongestDoubleClickMs = 5000;

}  // namespace

bool WindowManagerPresent() {
  const Atom check = XInternAtom(fl_display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int rc = XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), check, 0, 1, False, XA_WINDOW,
                                    &type, &format, &count, &after, &data);
  const bool found = rc == Success && type == XA_WINDOW && count == 1;
  if (data) XFree(data);
  return found;
}

Single TwipsPerPixel(double dpi) { return static_cast<Single>(kTwipsPerInch / dpi); }

ScreenMetrics FltkBackend::Screen() {
  return {monitor_.width, monitor_.height, TwipsPerPixel(dpi_.x), TwipsPerPixel(dpi_.y)};
}

FrameInsets FltkBackend::Frame(const Form& window) {
  if (window.Maximized() || !WindowManagerPresent()) return {};
  // A shown window has its real frame; the others the last one seen, as all
  // dialogs are framed alike.
  if (FormWindow* w = Find(window); w && w->shown() && fl_xid(w)) {
    FrameInsets real;
    if (MappedFrame(fl_xid(w), real)) return *(frame_ = real);
  }
  if (!frame_) {
    FrameInsets asked;
    frame_ = RequestDialogFrame(asked) || ProbeDialogFrame(asked) ? asked : kUsualFrame;
  }
  return *frame_;
}

// Read at every click, so a change on the desktop counts at once.
std::int64_t FltkBackend::DoubleClickMicros() {
  const std::optional<std::int32_t> ms = DesktopSettingInteger("Net/DoubleClickTime");
  const bool usable = ms && *ms > 0 && *ms <= kLongestDoubleClickMs;
  return (usable ? *ms : kDefaultDoubleClickMs) * 1000;
}

}  // namespace rt::fltk
