// The backend object: what it sets up for the program's life, its
// teardown, and the program's end.
#include "runtime/win32/backend.h"

#include "runtime/error.h"

namespace rt::win32 {

Win32Backend::Win32Backend(HINSTANCE instance, DllSearch dll_search) : instance_(instance), dll_search_(dll_search) {
  arrow_ = LoadCursorW(nullptr, IDC_ARROW);
  wait_ = LoadCursorW(nullptr, IDC_WAIT);
  if (!WindowClass(nullptr, nullptr)) Raise(ErrorNumber::kOutOfMemory, "window class");
}

Win32Backend::~Win32Backend() {
  DestroyAllWindows();
  UnregisterWindowClasses();
}

void Win32Backend::Terminate(int status) {
  DestroyAllWindows();
  ExitProcess(static_cast<UINT>(status));
}

}  // namespace rt::win32
