// Window manager hints and requests (ICCCM, EWMH and Motif hints).
#include "runtime/fltk/wm.h"

#include <errno.h>  // program_invocation_short_name
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <thread>
#include <vector>

#include "runtime/fltk/backend.h"

// FLTK and X11 last: Xlib defines True and False as macros. Fl_X, through
// which a window made here is handed to FLTK, is declared for internals.
#define FL_INTERNALS
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace rt::fltk {

namespace {

// The class all of the program's windows share; the instance is the
// program's file name.
constexpr char kWindowClass[] = "Mirelund";

// A busy manager may answer late; the wait happens once per run at most.
constexpr auto kFrameRequestTimeout = std::chrono::milliseconds(1000);

// The events FLTK selects on its own top-level windows.
constexpr long kEventMask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                            KeymapStateMask | FocusChangeMask | ButtonPressMask | ButtonReleaseMask |
                            EnterWindowMask | LeaveWindowMask | PropertyChangeMask | PointerMotionMask;

// Motif window manager hints, as window managers still read them.
enum : long {
  kMwmHintsFunctions = 1,
  kMwmHintsDecorations = 2,
  kMwmFuncMove = 4,
  kMwmFuncClose = 32,
  kMwmDecorBorder = 2,
  kMwmDecorTitle = 8,
  kMwmDecorMenu = 16,
};

Atom AtomOf(const char* name) { return XInternAtom(fl_display, name, 0); }

void SetAtoms(Window w, const char* property, const std::vector<Atom>& atoms) {
  XChangeProperty(fl_display, w, AtomOf(property), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
}

// Fixed size, the frame's top left corner at the given position; dialogs
// can be moved and closed, nothing else. No window offers minimizing: a
// dialog is in no taskbar to bring it back from, and its full-screen
// window, once back, would show it on top again anyway.
void SetHints(Window w, int x, int y, int width, int height, const WindowRole& role) {
  XSizeHints* size = XAllocSizeHints();
  size->flags = USPosition | PPosition | PSize | PMinSize | PMaxSize | PWinGravity;
  size->x = x;
  size->y = y;
  size->width = size->min_width = size->max_width = width;
  size->height = size->min_height = size->max_height = height;
  size->win_gravity = NorthWestGravity;
  XSetWMNormalHints(fl_display, w, size);
  XFree(size);

  const long motif[5] = {kMwmHintsFunctions | kMwmHintsDecorations,
                         role.fullscreen ? kMwmFuncClose : kMwmFuncMove | kMwmFuncClose,
                         role.fullscreen ? 0 : kMwmDecorBorder | kMwmDecorTitle | kMwmDecorMenu, 0, 0};
  const Atom motif_hints = AtomOf("_MOTIF_WM_HINTS");
  XChangeProperty(fl_display, w, motif_hints, motif_hints, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(motif), 5);
}

// A dialog is transient for the window it blocks, so every manager keeps it
// above that window and brings it back with it, and it is not in the
// taskbar, as an owned window on Windows is not. It is not marked modal:
// mutter (GNOME) attaches a modal transient dialog to its parent, centres
// it there and lets nobody move it, where the program puts every dialog at
// one place of its own. The keyboard is handed to it by the window it
// blocks instead (see FltkBackend::HandKeyboardOn). The full-screen windows
// are in the taskbar, Alt+Tab and GNOME's overview, as on Windows: the
// launcher must be found again after the user went to a setup's window.
void SetRole(Window w, const WindowRole& role) {
  SetAtoms(w, "_NET_WM_WINDOW_TYPE",
           {AtomOf(role.dialog ? "_NET_WM_WINDOW_TYPE_DIALOG" : "_NET_WM_WINDOW_TYPE_NORMAL")});
  std::vector<Atom> state;
  if (role.dialog) {
    state.push_back(AtomOf("_NET_WM_STATE_SKIP_TASKBAR"));
    state.push_back(AtomOf("_NET_WM_STATE_SKIP_PAGER"));
  }
  if (role.fullscreen) state.push_back(AtomOf("_NET_WM_STATE_FULLSCREEN"));
  SetAtoms(w, "_NET_WM_STATE", state);
  if (role.above) XSetTransientForHint(fl_display, w, role.above);
}

// A request about `target` to the window manager, as EWMH has them sent.
void SendToManager(Window target, const char* message, std::initializer_list<long> data) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = target;
  e.xclient.message_type = AtomOf(message);
  e.xclient.format = 32;
  std::copy(data.begin(), data.end(), e.xclient.data.l);
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), 0, SubstructureRedirectMask | SubstructureNotifyMask,
             &e);
  XFlush(fl_display);
}

bool ReadCardinals(Window w, Atom property, long count, std::vector<long>& out) {
  Atom type = None;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  const int rc = XGetWindowProperty(fl_display, w, property, 0, count, 0, XA_CARDINAL, &type, &format, &n, &after,
                                    &data);
  const bool ok = rc == Success && type == XA_CARDINAL && format == 32 && n == static_cast<unsigned long>(count);
  if (ok) {
    const auto* v = reinterpret_cast<const long*>(data);  // format 32 comes as long
    out.assign(v, v + count);
  }
  if (data) XFree(data);
  return ok;
}

bool ReadExtents(Window w, FrameInsets& out) {
  std::vector<long> v;
  if (!ReadCardinals(w, AtomOf("_NET_FRAME_EXTENTS"), 4, v)) return false;
  for (long e : v)
    if (e < 0 || e >= 1000) return false;
  out = {static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3])};
  return true;
}

}  // namespace

void CreateNativeWindow(Fl_Window& window, const WindowRole& role) {
  fl_open_display();
  const Window root = RootWindow(fl_display, fl_screen);
  XSetWindowAttributes attr{};
  // Property changes are heard only once the window's own are made: FLTK
  // answers each change of its state with a round trip.
  attr.event_mask = kEventMask & ~PropertyChangeMask;
  attr.colormap = fl_colormap;
  attr.border_pixel = 0;
  attr.bit_gravity = ForgetGravity;
  const int w = window.w() > 0 ? window.w() : 1, h = window.h() > 0 ? window.h() : 1;
  const Window xid = XCreateWindow(fl_display, root, window.x(), window.y(), static_cast<unsigned>(w),
                                   static_cast<unsigned>(h), 0, fl_visual->depth, InputOutput, fl_visual->visual,
                                   CWBorderPixel | CWColormap | CWEventMask | CWBitGravity, &attr);
  Fl_X* native = Fl_X::set_xid(&window, xid);

  XWMHints* wm = XAllocWMHints();
  wm->flags = InputHint;
  wm->input = 1;
  XClassHint* cls = XAllocClassHint();
  const char* name = program_invocation_short_name;
  std::vector<char> instance(name, name + std::strlen(name) + 1);
  std::vector<char> class_name(kWindowClass, kWindowClass + sizeof kWindowClass);
  cls->res_name = instance.data();
  cls->res_class = class_name.data();
  // Also WM_CLIENT_MACHINE and WM_LOCALE_NAME, which _NET_WM_PID relies on.
  XSetWMProperties(fl_display, xid, nullptr, nullptr, nullptr, 0, nullptr, wm, cls);
  XFree(cls);
  XFree(wm);
  const long pid = static_cast<long>(getpid());
  XChangeProperty(fl_display, xid, AtomOf("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  Atom delete_window = AtomOf("WM_DELETE_WINDOW");
  XSetWMProtocols(fl_display, xid, &delete_window, 1);
  window.label(window.label(), window.iconlabel());  // the titles, now that there is a window
  SetHints(xid, window.x(), window.y(), w, h, role);
  SetRole(xid, role);
  native->set_icons();
  XSelectInput(fl_display, xid, kEventMask);
}

void SetPlacementHints(Fl_Window& window, const WindowRole& role) {
  if (!window.shown()) return;
  SetHints(fl_xid(&window), window.x(), window.y(), window.w(), window.h(), role);
}

bool MapsAreRedirected() {
  XWindowAttributes root{};
  return XGetWindowAttributes(fl_display, RootWindow(fl_display, fl_screen), &root) &&
         (root.all_event_masks & SubstructureRedirectMask) != 0;
}

bool WindowManagerSupports(const char* atom) {
  if (!WindowManagerPresent()) return false;
  const Atom wanted = XInternAtom(fl_display, atom, 1);
  if (wanted == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), AtomOf("_NET_SUPPORTED"), 0, 4096, 0,
                         XA_ATOM, &type, &format, &n, &after, &data) == Success &&
      data && format == 32) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < n && !found; ++i) found = atoms[i] == wanted;
  }
  if (data) XFree(data);
  return found;
}

bool MappedFrame(unsigned long xid, FrameInsets& out) {
  if (ReadExtents(xid, out)) return true;
  // No extents published: the frame is the window the manager reparented
  // the client into, the ancestor just below the root.
  const Window root = RootWindow(fl_display, fl_screen);
  Window top = xid;
  for (;;) {
    Window r = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(fl_display, top, &r, &parent, &children, &n)) return false;
    if (children) XFree(children);
    if (parent == root || parent == 0) break;
    top = parent;
  }
  XWindowAttributes client{}, frame{};
  if (!XGetWindowAttributes(fl_display, xid, &client) || client.map_state != IsViewable) return false;
  if (top == xid) {
    out = {};
    return true;
  }
  if (!XGetWindowAttributes(fl_display, top, &frame)) return false;
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(fl_display, xid, top, 0, 0, &x, &y, &child);
  const int b = frame.border_width;
  out = {x + b, y + b, frame.width - client.width - x + b, frame.height - client.height - y + b};
  return out.left >= 0 && out.top >= 0 && out.right >= 0 && out.bottom >= 0;
}

bool RequestDialogFrame(FrameInsets& out) {
  if (!WindowManagerSupports("_NET_REQUEST_FRAME_EXTENTS")) return false;
  const Window root = RootWindow(fl_display, fl_screen);
  const Window probe = XCreateSimpleWindow(fl_display, root, 0, 0, 100, 100, 0, 0, 0);
  // Decorated as the dialogs are: some managers frame dialogs or fixed-size
  // windows differently from normal ones.
  WindowRole role;
  role.dialog = true;
  SetHints(probe, 0, 0, 100, 100, role);
  SetRole(probe, role);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = probe;
  e.xclient.message_type = AtomOf("_NET_REQUEST_FRAME_EXTENTS");
  e.xclient.format = 32;
  XSendEvent(fl_display, root, 0, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XFlush(fl_display);
  bool ok = false;
  const auto until = std::chrono::steady_clock::now() + kFrameRequestTimeout;
  while (!(ok = ReadExtents(probe, out)) && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  XDestroyWindow(fl_display, probe);
  XFlush(fl_display);
  return ok;
}

bool ProbeDialogFrame(FrameInsets& out) {
  if (!WindowManagerPresent()) return false;
  const Window root = RootWindow(fl_display, fl_screen);
  constexpr int kSize = 64;
  // Just past the screen's bottom right corner; a manager that keeps
  // windows on the screen shows at most a transparent corner of it.
  const int x = DisplayWidth(fl_display, fl_screen), y = DisplayHeight(fl_display, fl_screen);
  const Window probe = XCreateSimpleWindow(fl_display, root, x, y, kSize, kSize, 0, 0, 0);
  WindowRole role;
  role.dialog = true;
  SetHints(probe, x, y, kSize, kSize, role);
  SetRole(probe, role);
  XWMHints* wm = XAllocWMHints();
  wm->flags = InputHint;
  wm->input = 0;
  XSetWMHints(fl_display, probe, wm);
  XFree(wm);
  const long never = 0;  // a user time of 0: not to be focused when mapped
  XChangeProperty(fl_display, probe, AtomOf("_NET_WM_USER_TIME"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&never), 1);
  const unsigned long transparent = 0;
  XChangeProperty(fl_display, probe, AtomOf("_NET_WM_WINDOW_OPACITY"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&transparent), 1);
  XStoreName(fl_display, probe, kWindowClass);
  XMapWindow(fl_display, probe);
  XFlush(fl_display);
  bool ok = false;
  const auto until = std::chrono::steady_clock::now() + kFrameRequestTimeout;
  while (std::chrono::steady_clock::now() < until) {
    XWindowAttributes a{};
    // A manager that publishes extents does so once it manages the window;
    // the others have reparented it into its frame by the time it shows.
    if (XGetWindowAttributes(fl_display, probe, &a) && a.map_state == IsViewable && MappedFrame(probe, out)) {
      ok = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  XDestroyWindow(fl_display, probe);
  XFlush(fl_display);
  return ok;
}

void RequestActivation(unsigned long target, unsigned long from) {
  SendToManager(target, "_NET_ACTIVE_WINDOW",
                {1 /* from an application */, static_cast<long>(fl_event_time), static_cast<long>(from)});
}

void RequestFullscreen(unsigned long target) {
  SendToManager(target, "_NET_WM_STATE",
                {1 /* add */, static_cast<long>(AtomOf("_NET_WM_STATE_FULLSCREEN")), 0, 1 /* from an application */});
}

void GiveFocus(unsigned long target, unsigned long from) {
  if (WindowManagerPresent()) RequestActivation(target, from);
  XWindowAttributes a{};
  if (XGetWindowAttributes(fl_display, target, &a) && a.map_state == IsViewable)
    XSetInputFocus(fl_display, target, RevertToParent, CurrentTime);
  XFlush(fl_display);
}

}  // namespace rt::fltk
