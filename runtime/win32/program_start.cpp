// Program starts through CreateProcessW, and through the shell when the
// program needs elevation. The command line is Windows-1252 and widened by
// that code page, whatever the system's own. shell32 and ole32 are loaded
// only for the shell's start: the launcher's run seldom needs them, and
// each brings a dozen more libraries into the process.
#include "runtime/win32/program_start.h"

#include <type_traits>

#include "runtime/win32/backend.h"
#include "runtime/win32/command_rules.h"
#include "runtime/win32/encoding.h"
#include "runtime/win32/safe_loading.h"
#include "runtime/win32/win32_api.h"

// After windows.h, which they need.
#include <objbase.h>
#include <shellapi.h>

namespace rt::win32 {

namespace {

// Called through pointers: stdcall on i686, as the headers declare them.
// CreateProcessW too, which kernel32 always has: looked up, so that a test's
// START.EXE can answer for it as a setup that needs elevation makes it.
using CoUninitializeFn = void(WINAPI*)();
using ShellExecuteExWFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
using CreateProcessWFn = BOOL(WINAPI*)(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                       LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION);
static_assert(std::is_same_v<decltype(&::CoUninitialize), CoUninitializeFn>);
static_assert(std::is_same_v<decltype(&::ShellExecuteExW), ShellExecuteExWFn>);
static_assert(std::is_same_v<decltype(&::CreateProcessW), CreateProcessWFn>);

}  // namespace

unsigned long SystemLauncher::Create(std::wstring& command_line, int show_mode) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show_mode);
  PROCESS_INFORMATION pi{};
  const auto create = Lookup<CreateProcessWFn>(GetModuleHandleW(L"kernel32.dll"), "CreateProcessW");
  if (!create) return ERROR_PROC_NOT_FOUND;
  const ExplorersDllSearch as_from_explorer(narrowed_);
  if (!create(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return GetLastError();
  // No waiting: the program runs on its own.
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}

unsigned long SystemLauncher::ShellOpen(const std::wstring& program, int show_mode, void* owner) {
  const auto shell_execute = Lookup<ShellExecuteExWFn>(LoadSystemLibrary(L"shell32.dll"), "ShellExecuteExW");
  if (!shell_execute) return GetLastError() ? GetLastError() : ERROR_PROC_NOT_FOUND;
  // The shell may hand the start to extensions that need COM.
  const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
  const auto co_initialize = Lookup<CoInitializeExFn>(ole32, "CoInitializeEx");
  const auto co_uninitialize = Lookup<CoUninitializeFn>(ole32, "CoUninitialize");
  const HRESULT com = co_initialize && co_uninitialize
                          ? co_initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)
                          : E_FAIL;
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof(sei);
  sei.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  sei.hwnd = static_cast<HWND>(owner);
  sei.lpVerb = L"open";
  sei.lpFile = program.c_str();
  sei.nShow = show_mode;
  unsigned long error = 0;
  {
    const ExplorersDllSearch as_from_explorer(narrowed_);
    if (!shell_execute(&sei)) error = GetLastError();
  }
  if (SUCCEEDED(com)) co_uninitialize();
  return error;
}

Long StartProgram(std::string_view command_line, Long show_mode, ProcessLauncher& launcher, void* owner) {
  std::wstring line = Widen1252(QuoteCommandLine(command_line));
  unsigned long error = launcher.Create(line, show_mode);
  if (error == kErrorElevationRequired)
    error = launcher.ShellOpen(Widen1252(ProgramPathOf(command_line)), show_mode, owner);
  return WinExecResult(error);
}

Long Win32Backend::StartProgram(std::string_view command_line, Long show_mode) {
  SystemLauncher launcher(dll_search_);
  return win32::StartProgram(command_line, show_mode, launcher, PromptOwner());
}

// The active window; else, between two dialogs, when none of ours is
// active, the last shown of ours, which lies in front of the others.
HWND Win32Backend::PromptOwner() const {
  if (const HWND active = GetActiveWindow()) return active;
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if ((*it)->hwnd && IsWindowVisible((*it)->hwnd)) return (*it)->hwnd;
  return nullptr;
}

}  // namespace rt::win32
