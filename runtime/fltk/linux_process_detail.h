// The pieces behind ProgramFolder and StartProgram that work on text and on
// the file system alone, so that they can be tested without a display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/start_result.h"
#include "runtime/types.h"

namespace rt::fltk::detail {

// WinExec's results.
inline constexpr Long kOutOfResources = kStartOutOfResources;
inline constexpr Long kFileNotFound = kStartFileNotFound;
inline constexpr Long kPathNotFound = kStartPathNotFound;
inline constexpr Long kAccessDenied = kStartAccessDenied;
inline constexpr Long kBadFormat = kStartBadFormat;
inline constexpr Long kStarted = rt::kStarted;

// ---- program folder ----

// Undoes the kernel's octal escapes (\040 blank, \011 tab, \012 newline,
// \134 backslash) in one field of /proc/self/mountinfo.
std::string DecodeMountinfoField(std::string_view field);

// The mount points (fifth field) of every line of a mountinfo text, decoded.
std::vector<std::string> MountPoints(std::string_view mountinfo);

// The folder part of an absolute path: "/a/b/c" gives "/a/b", "/c" gives "/".
std::string ParentFolder(std::string_view path);

// An absolute folder without a trailing "/", given one when the mountinfo
// text lists it as a mount point; "/" stays as it is.
std::string MarkMountRoot(std::string_view folder, std::string_view mountinfo);

// ---- program start ----

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

}  // namespace rt::fltk::detail
