// The program's own path and folder, as the logic uses them.
#pragma once

#include <string>
#include <string_view>

namespace rt::win32 {

// The running program's full path, however long.
std::wstring ModulePath();

// The folder of `module_path` in Windows-1252, by the rules of
// folder_rules.h. A folder the code page cannot spell is given by its short
// (8.3) name where the file system has one that it can; failing that, each
// character it cannot spell becomes '?', which no file name may hold, so a
// start from there fails rather than reach some other program. (The ANSI
// WinExec of old could not start anything there either.)
std::string ProgramFolderOf(std::wstring_view module_path);

// The program's name for message box captions: its file name without the
// extension.
std::wstring ProgramTitle(std::wstring_view module_path);

}  // namespace rt::win32
