// The start-up half of safe loading: the narrowed search, DEP, and the
// loads by full path. What is newer than XP SP3 is looked up with
// GetProcAddress; a function called through a pointer must have its
// declared calling convention (WINAPI: stdcall on i686).
#include "runtime/win32/safe_loading.h"

#include <cwchar>

#include "runtime/win32/encoding.h"
#include "runtime/win32/program_folder.h"

namespace rt::win32 {

namespace {

// LoadLibraryEx's and the process's flags, from headers newer than XP's.
constexpr DWORD kSearchSystem32 = 0x00000800;          // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD kSafeSearchMode = 0x00000001;          // BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE
constexpr DWORD kSearchModePermanent = 0x00008000;     // BASE_SEARCH_PATH_PERMANENT
constexpr DWORD kDepEnable = 0x1;                     // PROCESS_DEP_ENABLE
// The manifest resource of the activation context that redirects nothing.
constexpr WORD kEmptyManifestId = 100;

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
using SetSearchPathModeFn = BOOL(WINAPI*)(DWORD);
using SetProcessDEPPolicyFn = BOOL(WINAPI*)(DWORD);

// What the system's own libraries load by bare name, and so would take from
// the program's folder where the search cannot be narrowed (XP, Vista, 7
// without KB2533623): the list the NSIS and Inno Setup installers preload
// after hijacks through each, and imm32, which the whole sequence loads on
// that branch (under wine, +loaddll) and is no KnownDLL of XP SP3. Less
// oleacc, which we load ourselves by full path when a screen reader first
// asks, and uxtheme, below. What else that run loaded is no DLL of those
// systems (combase, shcore, win32u: Windows 8 and later; ucrtbase, zlib1:
// wine's own) or comes with the process there as a KnownDLL's import
// (kernelbase, sechost on 7). Those a system lacks fail quietly.
constexpr const wchar_t* kPreloaded[] = {
    L"dwmapi.dll",    L"userenv.dll", L"setupapi.dll", L"apphelp.dll", L"propsys.dll",
    L"cryptbase.dll", L"clbcatq.dll", L"ntmarta.dll",  L"version.dll", L"imm32.dll",
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

namespace {

// Whether the active activation context takes `name` from an assembly of
// the side-by-side store: one whose manifest lies in the Windows folder's
// WinSxS. A file of the program's own assembly, or of a private one, lies
// beside the program.
bool RedirectedIntoWinSxS(const wchar_t* name) {
  ACTCTX_SECTION_KEYED_DATA redirected{};
  redirected.cbSize = sizeof(redirected);
  if (!FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name, &redirected))
    return false;
  // The assembly's details and, after them, its paths.
  union {
    ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION info;
    wchar_t room[4 * MAX_PATH];
  } assembly{};
  ULONG index = redirected.ulAssemblyRosterIndex;
  SIZE_T size = 0;
  const bool known = QueryActCtxW(0, redirected.hActCtx, &index, AssemblyDetailedInformationInActivationContext,
                                  &assembly, sizeof(assembly), &size);
  ReleaseActCtx(redirected.hActCtx);
  const wchar_t* manifest = assembly.info.lpAssemblyManifestPath;
  if (!known || !manifest || !assembly.info.lpAssemblyDirectoryName || !*assembly.info.lpAssemblyDirectoryName)
    return false;
  wchar_t store[MAX_PATH];
  UINT length = GetSystemWindowsDirectoryW(store, MAX_PATH - 8);
  if (length == 0 || length >= MAX_PATH - 8) return false;
  if (store[length - 1] != L'\\') store[length++] = L'\\';
  std::wmemcpy(store + length, L"WinSxS\\", 8);
  length += 7;
  return _wcsnicmp(manifest, store, length) == 0;
}

}  // namespace

HMODULE LoadCommonControlsLibrary() {
  if (RedirectedIntoWinSxS(L"comctl32.dll")) return LoadLibraryW(L"comctl32.dll");
  return LoadSystemLibrary(L"comctl32.dll");
}

DllSearch ProtectDllSearch() {
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
    return DllSearch::kSystemFolderOnly;
  }
  return ProtectDllSearchWithoutDefaultDirectories();
}

DllSearch ProtectDllSearchWithoutDefaultDirectories() {
  // The program's folder stays first in the search here: what the system
  // libraries would look for is loaded from the system folder now, and a
  // later load by bare name finds the module already loaded.
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  const auto set_dir = Lookup<SetDllDirectoryWFn>(kernel32, "SetDllDirectoryW");
  const bool removed = set_dir && set_dir(L"");
  for (const wchar_t* name : kLoadedAnyway) LoadSystemLibrary(name);
  for (const wchar_t* name : kPreloaded) LoadSystemLibrary(name);
  return removed ? DllSearch::kCurrentFolderRemoved : DllSearch::kUnchanged;
}

// Only the DLL directory is handed on; the default directories are the
// process's own.
ExplorersDllSearch::ExplorersDllSearch(DllSearch search) {
  if (search != DllSearch::kCurrentFolderRemoved) return;
  set_directory_ = Lookup<SetDllDirectoryWFn>(GetModuleHandleW(L"kernel32.dll"), "SetDllDirectoryW");
  if (set_directory_ && !set_directory_(nullptr)) set_directory_ = nullptr;
}

ExplorersDllSearch::~ExplorersDllSearch() {
  if (set_directory_) set_directory_(L"");
}

bool RedirectionRequested(const std::wstring& module_path) {
  return GetFileAttributesW((module_path + L".local").c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ExternalManifestBeside(const std::wstring& module_path) {
  return GetFileAttributesW((module_path + L".manifest").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Window classes and DLLs are looked up in the context on top of the
// thread's stack alone; on XP a planted manifest's is the process's
// default. With none of its own to push, the box is not shown: a box under
// the planted context could load what it names.
void RefuseToStart(std::string_view text, int status) {
  ACTCTXW empty{};
  empty.cbSize = sizeof(empty);
  empty.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  const std::wstring self = ModulePath();
  empty.lpSource = self.c_str();
  empty.hModule = GetModuleHandleW(nullptr);
  empty.lpResourceName = MAKEINTRESOURCEW(kEmptyManifestId);
  const HANDLE context = CreateActCtxW(&empty);
  ULONG_PTR cookie = 0;
  if (context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie)) {
    const std::wstring body = Widen1252(text);
    const std::wstring title = ProgramTitle(self);
    MessageBoxW(nullptr, body.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  }
  ExitProcess(static_cast<UINT>(status));
}

}  // namespace rt::win32
