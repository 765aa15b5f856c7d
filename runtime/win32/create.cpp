// Names the Win32 backend as the platform backend of the Windows build, and
// sets what std::terminate does there.
#include <cstdlib>

#include "runtime/platform.h"
#include "runtime/win32/win32_backend.h"

namespace rt {

std::unique_ptr<Backend> CreatePlatformBackend() {
  return std::make_unique<win32::Win32Backend>(GetModuleHandleW(nullptr));
}

}  // namespace rt

// libstdc++'s default terminate handler prints the exception's demangled type
// to stderr, and so drags its whole demangler (about 45 KB of code and tables)
// into START.EXE, a GUI program with no stderr. Every error the program
// expects is shown by the runtime's message box before terminate could be
// reached. Defined here, in the object every program links for its backend,
// so that the linker has it before it searches libstdc++.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
