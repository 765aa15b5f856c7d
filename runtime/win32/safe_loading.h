// Loading only the system's own DLLs, whatever lies beside the program.
// Windows looks for a DLL that is not one of its KnownDLLs in the program's
// folder first; a copy of the CD in Downloads or on a USB stick puts that
// folder in reach of anyone who can drop a file there. START.EXE therefore
// imports only KnownDLLs; everything else it loads itself once the search
// has been narrowed at start: by full path from the system folder, and
// comctl32 from the side-by-side store its manifest names.
#pragma once

#include <string>

#include "runtime/win32/win32_api.h"

namespace rt::win32 {

// Narrows the DLL search before anything else is loaded: to the system
// folder where SetDefaultDllDirectories exists (Windows 8 on, Vista and 7
// with KB2533623); elsewhere drops the current folder from the search and
// loads, by full path, what the system's libraries would otherwise look for
// beside the program. Also turns DEP on for good (32-bit XP SP3 on) and puts
// the current folder last for SearchPath. Returns whether the search is
// restricted to the system folder.
bool ProtectDllSearch();

// What ProtectDllSearch does where SetDefaultDllDirectories is missing; on
// its own for the tests, which run where it exists.
void ProtectDllSearchWithoutDefaultDirectories();

// Whether `module_path`.local exists (a file or a folder): DLL redirection,
// which would look beside the program before every load, even by full path.
bool RedirectionRequested(const std::wstring& module_path);

// `name` from the system folder, by full path; its own imports are looked
// for there too. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Version 6 of comctl32, which the manifest's activation context takes from
// the side-by-side store, loaded by name only where that context redirects
// the name; anywhere else the system folder's copy, by full path.
HMODULE LoadCommonControlsLibrary();

// The function `name` of such a library as the pointer type F; null where
// the library or the function is missing. GetProcAddress gives every
// function one type; the caller names the real one.
template <class F>
F Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// ole32's, wanted by the screen readers' objects and by the shell's starts.
// Called through a pointer: stdcall on i686, as the header declares it.
using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);

}  // namespace rt::win32
