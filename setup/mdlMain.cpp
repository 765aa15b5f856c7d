// WinExec, reached through the runtime's program starter of the platform.
#include "setup/mdlMain.h"

#include "runtime/runtime.h"

namespace mdlMain {

rt::Long WinExec(const std::string& lpCmdLine, rt::Long nCmdShow) {
  return rt::Runtime::Current().StartProgram(lpCmdLine, nCmdShow);
}

}  // namespace mdlMain
