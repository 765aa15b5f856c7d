// The launcher: the runtime brings up the start-up window, whose load
// handler runs the whole program.
#include "runtime/platform.h"
#include "runtime/runtime.h"
#include "setup/frmAcrobat.h"

int main() {
  const auto backend = rt::CreatePlatformBackend();
  rt::Runtime runtime(*backend);
  return runtime.Run<frmAcrobat>();
}
