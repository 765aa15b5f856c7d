// The shipped program's one way to the system functions it calls through a
// pointer. Alone in its file: a test's START.EXE links its own in its place.
#include "runtime/win32/safe_loading.h"

namespace rt::win32 {

FARPROC SystemFunction(HMODULE module, const char* name) { return GetProcAddress(module, name); }

}  // namespace rt::win32
