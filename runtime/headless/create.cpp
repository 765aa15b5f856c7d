// Names the headless backend as the platform backend, for programs built to
// run without a display.
#include "runtime/headless/headless_backend.h"
#include "runtime/platform.h"

namespace rt {

std::unique_ptr<Backend> CreatePlatformBackend() { return std::make_unique<headless::HeadlessBackend>(); }

}  // namespace rt
