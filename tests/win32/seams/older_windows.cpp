// START.EXE as Windows XP, Vista or 7 without KB2533623 runs it, for the
// Windows tests: linked with the program's own objects in place of the
// shipped SystemFunction, it hides SetDefaultDllDirectories (and its
// companions), so that start-up takes the branch those systems take. With
// START_ELEVATION_REQUIRED defined, CreateProcessW also answers as it does
// for a setup that asks for administrator rights, so that the shell starts
// it.
//
// Wine shows neither what a program started inherits of the DLL search nor
// the shell's owner window, so this stand-in says both: the DLL directory
// that Windows would hand on (it remembers what SetDllDirectoryW was last
// given) and the folder the starter stood in go to every program started,
// in MIRELUND_INHERITED_DLL_DIRECTORY and MIRELUND_STARTERS_FOLDER, which
// the stub setups note; each start through the shell is noted, with the
// title of its owner window, in the file MIRELUND_SHELL_LOG names.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "runtime/win32/command_rules.h"
#include "runtime/win32/safe_loading.h"

namespace {

using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
using ShellExecuteExWFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);

SetDllDirectoryWFn g_set_dll_directory = nullptr;
ShellExecuteExWFn g_shell_execute = nullptr;
const wchar_t* g_dll_directory = L"(default)";
std::wstring g_dll_directory_set;

BOOL WINAPI RememberingSetDllDirectoryW(LPCWSTR path) {
  if (!path) {
    g_dll_directory = L"(default)";
  } else if (!*path) {
    g_dll_directory = L"(current folder removed)";
  } else {
    g_dll_directory_set = path;
    g_dll_directory = g_dll_directory_set.c_str();
  }
  return g_set_dll_directory(path);
}

void HandOn() {
  SetEnvironmentVariableW(L"MIRELUND_INHERITED_DLL_DIRECTORY", g_dll_directory);
  wchar_t folder[MAX_PATH];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
  SetEnvironmentVariableW(L"MIRELUND_STARTERS_FOLDER", n > 0 && n < MAX_PATH ? folder : L"?");
}

BOOL WINAPI HandingOnCreateProcessW(LPCWSTR application, LPWSTR command_line, LPSECURITY_ATTRIBUTES process,
                                    LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                    LPCWSTR folder, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info) {
#ifdef START_ELEVATION_REQUIRED
  SetLastError(rt::win32::kErrorElevationRequired);
  return FALSE;
#endif
  HandOn();
  return CreateProcessW(application, command_line, process, thread, inherit, flags, environment, folder, startup,
                        info);
}

void AppendUtf8(const std::wstring& line) {
  wchar_t log[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"MIRELUND_SHELL_LOG", log, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);
  const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
}

// One line: verb, file, parameters, folder, show mode, owner's title.
BOOL WINAPI NotingShellExecuteExW(SHELLEXECUTEINFOW* info) {
  wchar_t owner[256] = L"(none)";
  if (info->hwnd && !GetWindowTextW(info->hwnd, owner, 256)) std::wcscpy(owner, L"(untitled)");
  const auto or_dash = [](const wchar_t* text) { return std::wstring(text ? text : L"-"); };
  AppendUtf8(or_dash(info->lpVerb) + L"\t" + or_dash(info->lpFile) + L"\t" + or_dash(info->lpParameters) + L"\t" +
             or_dash(info->lpDirectory) + L"\t" + std::to_wstring(info->nShow) + L"\t" + owner + L"\n");
  HandOn();
  return g_shell_execute(info);
}

}  // namespace

namespace rt::win32 {

FARPROC SystemFunction(HMODULE module, const char* name) {
  for (const char* newer : {"SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory"})
    if (std::strcmp(name, newer) == 0) return nullptr;
  const FARPROC system = GetProcAddress(module, name);
  if (!system) return nullptr;
  if (std::strcmp(name, "SetDllDirectoryW") == 0) {
    g_set_dll_directory = reinterpret_cast<SetDllDirectoryWFn>(reinterpret_cast<void*>(system));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&RememberingSetDllDirectoryW));
  }
  if (std::strcmp(name, "CreateProcessW") == 0)
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&HandingOnCreateProcessW));
  if (std::strcmp(name, "ShellExecuteExW") == 0) {
    g_shell_execute = reinterpret_cast<ShellExecuteExWFn>(reinterpret_cast<void*>(system));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&NotingShellExecuteExW));
  }
  return system;
}

}  // namespace rt::win32
