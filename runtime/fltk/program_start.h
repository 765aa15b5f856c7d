// Starting the programs that Windows-style command lines name, and the
// pieces behind it that work on text and on the file system alone, so that
// they can be tested without a display.
#pragma once

#include <string>
#include <string_view>

#include "runtime/start_result.h"
#include "runtime/types.h"

namespace rt::fltk {

// Starts the program that a Windows-style command line names, without waiting
// and without a shell. Returns a WinExec-style result: greater than 31 when
// started, otherwise a small error code. Never throws, never blocks. A command
// line that begins with `program_folder` is that folder, as it is, followed
// by a Windows-style relative path.
Long StartProgram(std::string_view command_line, Long show_mode, std::string_view program_folder = {});

namespace detail {

// WinExec's results.
inline constexpr Long kOutOfResources = kStartOutOfResources;
inline constexpr Long kFileNotFound = kStartFileNotFound;
inline constexpr Long kPathNotFound = kStartPathNotFound;
inline constexpr Long kAccessDenied = kStartAccessDenied;
inline constexpr Long kBadFormat = kStartBadFormat;
inline constexpr Long kStarted = rt::kStarted;

// The kind of program a file holds, judged by its first bytes.
enum class ProgramKind { kWindows, kNative, kOther, kUnreadable };
ProgramKind KindOfFile(const std::string& path);

// Where a Windows-style path names a file: backslashes as "/", each component
// matched case-insensitively (an exact match first). On failure `error` is
// kFileNotFound or kPathNotFound and the result is empty. A relative path is
// taken from the current folder. A path that begins with `folder` (an
// absolute Linux folder) keeps that part as it is, backslashes included.
std::string ResolveWindowsPath(std::string_view windows_path, Long& error, std::string_view folder = {});

// The first executable file named `name` in the folders of a PATH value, or
// an empty string.
std::string FindInPath(std::string_view name, std::string_view path_variable);

}  // namespace detail
}  // namespace rt::fltk
