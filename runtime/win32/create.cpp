// Names the Win32 backend as the platform backend of the Windows build.
#include "runtime/platform.h"
#include "runtime/win32/win32_backend.h"

namespace rt {

std::unique_ptr<Backend> CreatePlatformBackend() {
  return std::make_unique<win32::Win32Backend>(GetModuleHandleW(nullptr));
}

}  // namespace rt
