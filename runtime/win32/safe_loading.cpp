// The start-up half of safe loading: the narrowed search, DEP, and the
// loads by full path. What is newer than XP SP3 is looked up with
// GetProcAddress; a function called through a pointer must have its
// declared calling convention (WINAPI: stdcall on i686).
#include "runtime/win32/safe_loading.h"

#include <cwchar>

namespace rt::win32 {

namespace {

// LoadLibraryEx's and the process's flags, from headers newer than XP's.
constexpr DWORD kSearchSystem32 = 0x00000800;          // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD kSafeSearchMode = 0x00000001;          // BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE
constexpr DWORD kSearchModePermanent = 0x00008000;     // BASE_SEARCH_PATH_PERMANENT
[[maybe_unused]] constexpr DWORD kDepEnable = 0x1;     // PROCESS_DEP_ENABLE

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
using SetSearchPathModeFn = BOOL(WINAPI*)(DWORD);
using SetProcessDEPPolicyFn = BOOL(WINAPI*)(DWORD);

// What the system's own libraries load by bare name, and so would take from
// the program's folder where the search cannot be narrowed (XP, Vista, 7
// without KB2533623): the list the NSIS and Inno Setup installers preload
// after hijacks through each, less oleacc, which we load ourselves by full
// path when a screen reader first asks, and uxtheme, below. Those a system
// lacks fail quietly.
constexpr const wchar_t* kPreloaded[] = {
    L"dwmapi.dll",  L"userenv.dll", L"setupapi.dll", L"apphelp.dll", L"propsys.dll",
    L"cryptbase.dll", L"clbcatq.dll", L"ntmarta.dll",  L"version.dll",
};

// What START.EXE loads as its first window comes up (comctl32 6 draws with
// themes, which draw with msimg32): taken from the system folder before
// then, even where the search is narrowed, since not every loader keeps to
// that: wine's delay loads look beside the program all the same.
constexpr const wchar_t* kLoadedAnyway[] = {L"uxtheme.dll", L"msimg32.dll"};

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name) {
  // A fixed buffer: the system folder's path is short, and this runs before
  // anything else.
  wchar_t path[MAX_PATH];
  const UINT folder = GetSystemDirectoryW(path, MAX_PATH);
  const std::size_t length = std::wcslen(name);
  if (folder == 0 || folder + 1 + length >= MAX_PATH) return nullptr;
  path[folder] = L'\\';
  std::wmemcpy(path + folder + 1, name, length + 1);
  // With a full path, the altered search looks for the library's own
  // imports in its folder first, not in the program's.
  return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadCommonControlsLibrary() {
  ACTCTX_SECTION_KEYED_DATA redirected{};
  redirected.cbSize = sizeof(redirected);
  if (FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &redirected))
    return LoadLibraryW(L"comctl32.dll");
  return LoadSystemLibrary(L"comctl32.dll");
}

bool ProtectDllSearch() {
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
#ifndef _WIN64
  // 64-bit processes always have DEP; a 32-bit one asks for it, for good.
  if (const auto set_dep = Lookup<SetProcessDEPPolicyFn>(kernel32, "SetProcessDEPPolicy")) set_dep(kDepEnable);
#endif
  if (const auto set_mode = Lookup<SetSearchPathModeFn>(kernel32, "SetSearchPathMode"))
    set_mode(kSafeSearchMode | kSearchModePermanent);

  const auto set_default = Lookup<SetDefaultDllDirectoriesFn>(kernel32, "SetDefaultDllDirectories");
  if (set_default && set_default(kSearchSystem32)) {
    for (const wchar_t* name : kLoadedAnyway) LoadSystemLibrary(name);
    return true;
  }

  ProtectDllSearchWithoutDefaultDirectories();
  return false;
}

void ProtectDllSearchWithoutDefaultDirectories() {
  // The program's folder stays first in the search here: what the system
  // libraries would look for is loaded from the system folder now, and a
  // later load by bare name finds the module already loaded.
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (const auto set_dir = Lookup<SetDllDirectoryWFn>(kernel32, "SetDllDirectoryW")) set_dir(L"");
  for (const wchar_t* name : kLoadedAnyway) LoadSystemLibrary(name);
  for (const wchar_t* name : kPreloaded) LoadSystemLibrary(name);
}

bool RedirectionRequested(const std::wstring& module_path) {
  return GetFileAttributesW((module_path + L".local").c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace rt::win32
