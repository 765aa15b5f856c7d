// The planted-DLL test's control: loads each DLL named on its command line
// by bare name, as a program that takes no care would. Run from the folder
// the canaries lie in, every one of them must note its loading; otherwise
// the test could not see a canary that the launcher loaded either.
// With --without-default-directories first, it protects itself as
// START.EXE does on XP, Vista and 7 without KB2533623.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "runtime/win32/safe_loading.h"

int wmain(int argc, wchar_t** argv) {
  int first = 1;
  if (argc > 1 && std::wcscmp(argv[1], L"--without-default-directories") == 0) {
    rt::win32::ProtectDllSearchWithoutDefaultDirectories();
    first = 2;
  }
  int failed = 0;
  for (int i = first; i < argc; ++i) {
    if (!LoadLibraryW(argv[i])) {
      std::fwprintf(stderr, L"canary_probe: %ls: error %lu\n", argv[i], GetLastError());
      ++failed;
    }
  }
  return failed;
}
