// The program's one module: the declaration of kernel32's WinExec, which the
// setup sequence uses to start the setup programs on the CD.
#pragma once

#include <string>

#include "runtime/types.h"

namespace mdlMain {

// Starts the program of an ANSI command line with a show mode; returns at
// once. Above 31 the program was started (see runtime/start_result.h).
rt::Long WinExec(const std::string& lpCmdLine, rt::Long nCmdShow);

}  // namespace mdlMain
