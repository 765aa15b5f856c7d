// The screen: size and DPI of the primary screen, the window manager's frame
// insets, and the event loop's waiting.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "runtime/fltk/fltk_backend.h"
#include "runtime/fltk/window.h"
#include "runtime/form.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>

namespace rt::fltk {

namespace {

constexpr double kDefaultDpi = 96;
constexpr auto kFrameProbeTimeout = std::chrono::milliseconds(300);
constexpr double kIdleWait = 0.035;  // seconds

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

namespace {

bool ReadExtents(Window w, Atom extents, FrameInsets& out) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int rc =
      XGetWindowProperty(fl_display, w, extents, 0, 4, False, XA_CARDINAL, &type, &format, &count, &after, &data);
  bool ok = rc == Success && type == XA_CARDINAL && format == 32 && count == 4 && data;
  if (ok) {
    const auto* v = reinterpret_cast<const long*>(data);  // format 32 comes as long
    for (int i = 0; i < 4; ++i) ok = ok && v[i] >= 0 && v[i] < 1000;
    if (ok) out = {static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3])};
  }
  if (data) XFree(data);
  return ok;
}

// Asks the window manager which frame it would give a normal window
// (_NET_REQUEST_FRAME_EXTENTS on a window that is never mapped).
FrameInsets ProbeFrame() {
  if (!WindowManagerPresent()) return {};
  const Window root = RootWindow(fl_display, fl_screen);
  const Atom request = XInternAtom(fl_display, "_NET_REQUEST_FRAME_EXTENTS", False);
  const Atom extents = XInternAtom(fl_display, "_NET_FRAME_EXTENTS", False);
  const Window probe = XCreateSimpleWindow(fl_display, root, 0, 0, 100, 100, 0, 0, 0);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = probe;
  e.xclient.message_type = request;
  e.xclient.format = 32;
  XSendEvent(fl_display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XFlush(fl_display);
  FrameInsets f{};
  const auto until = std::chrono::steady_clock::now() + kFrameProbeTimeout;
  while (!ReadExtents(probe, extents, f) && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  XDestroyWindow(fl_display, probe);
  XFlush(fl_display);
  return f;
}

}  // namespace

double RoundedDpi(float reported) {
  if (!std::isfinite(reported) || reported < 24 || reported > 1200) return kDefaultDpi;
  return std::round(static_cast<double>(reported));
}

Single TwipsPerPixel(double dpi) { return static_cast<Single>(1440.0 / dpi); }

ScreenMetrics FltkBackend::Screen() {
  int x = 0, y = 0, w = 0, h = 0;
  Fl::screen_xywh(x, y, w, h, 0);
  float dh = 0, dv = 0;
  Fl::screen_dpi(dh, dv, 0);
  const double dpi_x = RoundedDpi(dh), dpi_y = RoundedDpi(dv);
  fonts_.SetDpi(dpi_x);
  return {w, h, TwipsPerPixel(dpi_x), TwipsPerPixel(dpi_y)};
}

FrameInsets FltkBackend::Frame(const Form& window) {
  if (window.Maximized()) return {};
  if (!frame_) frame_ = ProbeFrame();
  return *frame_;
}

void FltkBackend::WaitEvents() { Fl::wait(); }

void FltkBackend::ProcessPendingEvents() {
  // A busy loop in the program must not burn a core, yet input is handled at
  // once: Fl::wait returns as soon as an event arrives. Only the idle wakeups
  // cost; 35 ms keeps them under 30 a second, and a loop watching its clock
  // still sees its deadline well within 50 ms on a busy machine.
  if (Fl::ready()) Fl::check();
  else Fl::wait(kIdleWait);
}

void FltkBackend::Terminate(int status) {
  CloseAll();
  std::exit(status);
}

}  // namespace rt::fltk
