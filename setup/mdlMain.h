// The program's one module: WinExec, by which the setup sequence starts the
// setup programs on the CD; it goes through the runtime's backend.
#pragma once

#include <string>

#include "runtime/types.h"

namespace mdlMain {

// Starts the program of an ANSI command line with a show mode; returns at
// once. Above 31 the program was started (see runtime/start_result.h).
rt::Long WinExec(const std::string& lpCmdLine, rt::Long nCmdShow);

}  // namespace mdlMain
