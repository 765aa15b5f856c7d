// The one place that names the backend a program runs on; each platform's
// backend folder defines it, and the build links exactly one.
#pragma once

#include <memory>

#include "runtime/backend.h"

namespace rt {

std::unique_ptr<Backend> CreatePlatformBackend();

}  // namespace rt
