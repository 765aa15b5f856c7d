// The refusal to start beside a planted manifest, where wine cannot show it:
// wine never lets an external manifest win over the program's own, as
// Windows XP does. So the manifest named on the command line is made the
// active context here, as XP makes a planted START.EXE.manifest the
// process's, and then the program refuses to start as START.EXE does: no
// DLL it names may load. With --careless first, a plain message box is
// shown instead, the control: the canary it names must note its loading.
#include <windows.h>

#include <cwchar>

#include "runtime/error.h"
#include "runtime/win32/safe_loading.h"

int wmain(int argc, wchar_t** argv) {
  const bool careless = argc > 2 && std::wcscmp(argv[1], L"--careless") == 0;
  if (argc < 2) return 2;
  ACTCTXW planted{};
  planted.cbSize = sizeof(planted);
  planted.lpSource = argv[argc - 1];
  const HANDLE context = CreateActCtxW(&planted);
  ULONG_PTR cookie = 0;
  if (context == INVALID_HANDLE_VALUE || !ActivateActCtx(context, &cookie)) return 3;
  if (careless) {
    MessageBoxW(nullptr, L"Unter dem gepflanzten Manifest", L"careless", MB_OK);
    return 0;
  }
  rt::win32::RefuseToStart(rt::RuntimeError(rt::ErrorNumber::kPermissionDenied, "Fremdes Manifest").text(), 1);
}
