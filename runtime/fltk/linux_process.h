// Linux services of the FLTK backend that are not about windows: the program
// folder and the start of programs named by Windows-style command lines.
#pragma once

#include <string>
#include <string_view>

#include "runtime/types.h"

namespace rt::fltk {

// The folder of the running executable, ending in "/" only at the root of a
// mounted volume (a mount point), like a drive's root on Windows.
std::string ProgramFolder();

// Starts the program that a Windows-style command line names, without waiting
// and without a shell. Returns a WinExec-style result: greater than 31 when
// started, otherwise a small error code. Never throws, never blocks. A command
// line that begins with `program_folder` is that folder, as it is, followed
// by a Windows-style relative path.
Long StartProgram(std::string_view command_line, Long show_mode, std::string_view program_folder = {});

}  // namespace rt::fltk
