// Asks a window to close the way a window manager does: a WM_DELETE_WINDOW
// client message. There is no window manager on the test displays.
//   wmclose WINDOW_ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wmclose WINDOW_ID\n");
    return 2;
  }
  const Window w = std::strtoul(argv[1], nullptr, 0);
  Display* d = XOpenDisplay(nullptr);
  if (!d || w == 0) {
    std::fprintf(stderr, "wmclose: no display or no window\n");
    return 2;
  }
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  const Status ok = XSendEvent(d, w, False, NoEventMask, &e);
  XSync(d, False);
  XCloseDisplay(d);
  return ok ? 0 : 1;
}
