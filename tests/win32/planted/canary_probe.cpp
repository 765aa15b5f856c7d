// The planted-DLL test's control: loads each DLL named on its command line
// by bare name, as a program that takes no care would. Run from the folder
// the canaries lie in, every one of them must note its loading; otherwise
// the test could not see a canary that the launcher loaded either.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    if (!LoadLibraryW(argv[i])) {
      std::fwprintf(stderr, L"canary_probe: %ls: error %lu\n", argv[i], GetLastError());
      ++failed;
    }
  }
  return failed;
}
