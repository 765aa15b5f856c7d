// How a command line of the logic becomes a safe start, and what the start
// reports back. Pure rules, free of the Windows API so they are tested
// everywhere.
//
// The logic's command lines are a program's path and nothing else, possibly
// with blanks: quoted, the system cannot take "C:\Program" for the program
// and the rest for its arguments.
#pragma once

#include <string>
#include <string_view>

#include "runtime/start_result.h"
#include "runtime/types.h"

namespace rt::win32 {

// The command line with the whole path in quotes; one already quoted stays.
std::string QuoteCommandLine(std::string_view command_line);

// The program's path of a command line, without the quotes.
std::string ProgramPathOf(std::string_view command_line);

// What WinExec answers for the system error of a start (0: started): above
// 31 on success, the error itself when it is below 32, else "bad format";
// a declined elevation prompt is kStartCancelled, which no error else gives.
Long WinExecResult(unsigned long error);

// The system's answer when a program needs elevation to start.
inline constexpr unsigned long kErrorElevationRequired = 740;
// The shell's answer when the user declined the elevation prompt.
inline constexpr unsigned long kErrorCancelled = 1223;

}  // namespace rt::win32
