// What a window manager is told about a program window before it is mapped,
// and what it is asked afterwards. Every property that decides how the window
// manager treats a window (type, state, owner, position rule, frame
// functions) is on the window before its first map, so no window manager
// ever sees the window without them.
#pragma once

#include "runtime/backend.h"

class Fl_Window;

namespace rt::fltk {

struct WindowRole {
  bool dialog = false;       // a modal window: a dialog, neither in the taskbar nor in the pager
  bool fullscreen = false;   // borderless over the whole screen, in the taskbar
  unsigned long above = 0;   // WM_TRANSIENT_FOR: the X window it stays above, or none
};

// Creates the X window of an FLTK window that is not shown yet, with every
// property of its role, and hands it to FLTK; does not map it. The window
// manager puts the frame's top left corner at the window's x() and y().
void CreateNativeWindow(Fl_Window& window, const WindowRole& role);

// Size and position rules and frame functions again, after FLTK has
// replaced them with its own (it does on a change of size).
void SetPlacementHints(Fl_Window& window, const WindowRole& role);

// Whether a window manager takes the maps of top-level windows (any that
// runs does, with or without the EWMH hints).
bool MapsAreRedirected();

// Whether the running window manager lists `atom` in _NET_SUPPORTED.
bool WindowManagerSupports(const char* atom);

// The frame the window manager gave a mapped window: its _NET_FRAME_EXTENTS,
// or else where its client area lies in the window the manager put it in.
bool MappedFrame(unsigned long xid, FrameInsets& out);

// The frame a dialog would get, asked of the window manager with
// _NET_REQUEST_FRAME_EXTENTS on a window that is never mapped; false when the
// manager does not answer that.
bool RequestDialogFrame(FrameInsets& out);

// The frame a dialog gets, read from one mapped out of sight (off the
// screen, fully transparent, never focused) and taken down again at once;
// for managers that tell a frame only once the window is managed.
bool ProbeDialogFrame(FrameInsets& out);

// Asks the window manager to activate `target` (focus it and raise it),
// on behalf of the application, whose active window is `from` or none.
void RequestActivation(unsigned long target, unsigned long from);

// Asks the window manager to keep `target` over the whole screen, above its
// panels.
void RequestFullscreen(unsigned long target);

// Asks for the keyboard focus on `target` (one of ours) after the user gave
// it to `from` (also ours): a window manager is asked to activate it, and
// the focus is set directly, as the client holding the focus may.
void GiveFocus(unsigned long target, unsigned long from);

}  // namespace rt::fltk
