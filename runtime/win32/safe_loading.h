// Loading only the system's own DLLs, whatever lies beside the program.
// Windows looks for a DLL that is not one of its KnownDLLs in the program's
// folder first; a copy of the CD in Downloads or on a USB stick puts that
// folder in reach of anyone who can drop a file there. START.EXE therefore
// imports only KnownDLLs; everything else it loads itself once the search
// has been narrowed at start: by full path from the system folder, and
// comctl32 from the side-by-side store its manifest names.
#pragma once

#include <string>
#include <string_view>

#include "runtime/win32/win32_api.h"

namespace rt::win32 {

// Where the backend finds every system function it calls through a pointer
// (what is newer than XP SP3, CreateProcessW, and what it loads when first
// needed): GetProcAddress in the shipped program. The Windows tests link a
// START.EXE of their own with another definition, to take the branches that
// an older Windows, or a setup that asks for elevation, takes; nothing in
// the shipped program can switch to them.
FARPROC SystemFunction(HMODULE module, const char* name);

// What start-up did to the DLL search, which the programs it starts must
// not inherit.
enum class DllSearch {
  kUnchanged,
  kSystemFolderOnly,      // SetDefaultDllDirectories: not handed on
  kCurrentFolderRemoved,  // SetDllDirectoryW(L""): handed on to every child
};

// Narrows the DLL search before anything else is loaded: to the system
// folder where SetDefaultDllDirectories exists (Windows 8 on, Vista and 7
// with KB2533623); elsewhere drops the current folder from the search and
// loads, by full path, what the system's libraries would otherwise look for
// beside the program. Also turns DEP on for good (32-bit XP SP3 on) and puts
// the current folder last for SearchPath.
DllSearch ProtectDllSearch();

// What ProtectDllSearch does where SetDefaultDllDirectories is missing.
DllSearch ProtectDllSearchWithoutDefaultDirectories();

// While it lives, the DLL search is the one a program started from Explorer
// hands on, so that a setup started now runs as its makers tested it; the
// narrowed search comes back after.
class ExplorersDllSearch {
 public:
  explicit ExplorersDllSearch(DllSearch search);
  ~ExplorersDllSearch();
  ExplorersDllSearch(const ExplorersDllSearch&) = delete;
  ExplorersDllSearch& operator=(const ExplorersDllSearch&) = delete;

 private:
  BOOL(WINAPI* set_directory_)(LPCWSTR) = nullptr;
};

// Whether `module_path`.local exists (a file or a folder): DLL redirection,
// which would look beside the program before every load, even by full path.
bool RedirectionRequested(const std::wstring& module_path);

// Whether `module_path`.manifest exists: Windows XP takes such a file
// instead of the program's own manifest (later Windows where
// PreferExternalManifest is set), and with it whatever DLLs and window
// classes it redirects into the program's folder.
bool ExternalManifestBeside(const std::wstring& module_path);

// Tells the user `text` (Windows-1252) in a message box, under an
// activation context of the program's own that redirects nothing, so that
// neither the box nor its buttons load what a planted manifest names; then
// ends the process with `status`. For start-up, before anything is loaded.
[[noreturn]] void RefuseToStart(std::string_view text, int status);

// `name` from the system folder, by full path; its own imports are looked
// for there too. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Version 6 of comctl32, which the manifest's activation context takes from
// the side-by-side store, loaded by name only where the active context
// redirects the name into the Windows folder's WinSxS; anywhere else (no
// redirection, or one into the program's folder) the system folder's copy,
// by full path.
HMODULE LoadCommonControlsLibrary();

// The function `name` of such a library as the pointer type F; null where
// the library or the function is missing. GetProcAddress gives every
// function one type; the caller names the real one.
template <class F>
F Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(SystemFunction(module, name))) : nullptr;
}

// ole32's, wanted by the screen readers' objects and by the shell's starts.
// Called through a pointer: stdcall on i686, as the header declares it.
using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);

}  // namespace rt::win32
