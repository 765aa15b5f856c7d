// The program folder as the logic sees it, made from the module's own path.
// Pure string rules, free of the Windows API so they are tested everywhere.
//
// Invariant: the result ends in a backslash exactly when it is a root: a
// drive ("D:\") or a share ("\\server\share\").
#pragma once

#include <string>
#include <string_view>

namespace rt::win32 {

// The folder holding `module_path` (a full path, as the system reports it).
// A long-path prefix is dropped ("\\?\C:\x" is "C:\x", "\\?\UNC\s\h" is
// "\\s\h"), so the logic's command lines stay ordinary paths.
std::wstring FolderOfModule(std::wstring_view module_path);

// Whether `folder` (without a trailing backslash) is a drive or share root.
bool IsRootFolder(std::wstring_view folder);

}  // namespace rt::win32
