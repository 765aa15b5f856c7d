// A planted DLL of our own: on loading, it notes where it was loaded from
// and into which program, one line in the file MIRELUND_CANARY_LOG names,
// and does nothing else. It exports nothing: a program that imports it
// gets wine's stubs for the functions it expected.
#include <windows.h>

namespace {

void AppendUtf8(HANDLE file, const wchar_t* text) {
  char utf8[4 * MAX_PATH];
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
  DWORD written = 0;
  if (n > 1) WriteFile(file, utf8, static_cast<DWORD>(n - 1), &written, nullptr);
}

void Note(HINSTANCE self) {
  wchar_t log[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"MIRELUND_CANARY_LOG", log, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  wchar_t dll[MAX_PATH], program[MAX_PATH];
  if (!GetModuleFileNameW(self, dll, MAX_PATH) || !GetModuleFileNameW(nullptr, program, MAX_PATH)) return;
  const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  AppendUtf8(file, dll);
  AppendUtf8(file, L"\t");
  AppendUtf8(file, program);
  AppendUtf8(file, L"\n");
  CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Note(self);
  return TRUE;
}
