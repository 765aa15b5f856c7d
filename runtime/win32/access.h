// What accessibility clients (screen readers) read of the program's windows.
// The system's standard proxies give a window's text as its name and a
// button's access key, but wine's give every window the role "client", list
// hidden child windows, hand out child objects that answer nothing, and know
// no tooltips; so each of our windows answers WM_GETOBJECT for its client
// area itself, with the standard proxy underneath and these corrections on
// top: a label reads as static text named by its whole caption, a button as
// a push button described by its tooltip, and a window lists its visible
// labels and buttons in reading order (see SetReadingRank).
#pragma once

#include <string>

#include "runtime/win32/win32_api.h"

namespace rt::win32 {

// A dialog reads as one, so that a screen reader reads its texts when it
// comes up; the full-screen windows stay plain windows.
enum class AccessibleKind { kWindow, kDialog, kLabel, kButton };

// The answer to WM_GETOBJECT for `hwnd`, or 0 when the object asked for is
// not the client area (the caller hands the message on).
LRESULT AnswerGetObject(HWND hwnd, AccessibleKind kind, const std::wstring& description, WPARAM wparam,
                        LPARAM lparam);

// Where a label or button window stands when its window is read: labels
// before buttons, each in their TabIndex order. Kept on the child window
// itself, so that a client holding a window's object after a change still
// reads the windows as they are.
void SetReadingRank(HWND child, int rank);

std::wstring WindowText(HWND hwnd);

}  // namespace rt::win32
