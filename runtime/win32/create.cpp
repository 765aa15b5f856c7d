// Names the Win32 backend as the platform backend of the Windows build, and
// sets what std::terminate does there. The backend is made only once the
// DLL search is safe: it is the first thing the program does.
#include <cstdlib>

#include "runtime/error.h"
#include "runtime/platform.h"
#include "runtime/runtime.h"
#include "runtime/win32/backend.h"
#include "runtime/win32/program_folder.h"
#include "runtime/win32/safe_loading.h"

namespace rt {

std::unique_ptr<Backend> CreatePlatformBackend() {
  const std::wstring self = win32::ModulePath();
  // Before anything is loaded by name: under a planted manifest's context
  // even the loads by full path take their imports where it says.
  if (win32::ExternalManifestBeside(self))
    win32::RefuseToStart(RuntimeError(ErrorNumber::kPermissionDenied, "Fremdes Manifest (.manifest)").text(),
                         kErrorExitStatus);
  const win32::DllSearch search = win32::ProtectDllSearch();
  auto backend = std::make_unique<win32::Win32Backend>(GetModuleHandleW(nullptr), search);
  // Windows ignores a .local beside a program that carries a manifest, as
  // START.EXE does; should one be honoured all the same, every load would
  // look beside the program first, by full path or not.
  if (win32::RedirectionRequested(self)) {
    backend->ShowErrorMessage(RuntimeError(ErrorNumber::kPermissionDenied, "DLL-Umleitung (.local)").text());
    backend->Terminate(kErrorExitStatus);
  }
  return backend;
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
