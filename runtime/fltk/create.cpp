// Names the FLTK backend as the platform backend of Linux builds.
#include "runtime/fltk/backend.h"
#include "runtime/platform.h"

namespace rt {

std::unique_ptr<Backend> CreatePlatformBackend() { return std::make_unique<fltk::FltkBackend>(); }

}  // namespace rt
