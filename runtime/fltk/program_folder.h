// The folder of the running executable, as the logic uses it, and the pieces
// behind it that work on text alone, so that they can be tested without a
// display or a mount.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt::fltk {

// The folder of the running executable, ending in "/" only at the root of a
// mounted volume (a mount point), like a drive's root on Windows.
std::string ProgramFolder();

namespace detail {

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

}  // namespace detail
}  // namespace rt::fltk
