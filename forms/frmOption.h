// The ids by which the code reaches the closing window's controls, and its
// definition, built once and never changed.
#pragma once

#include <cstdint>

#include "runtime/definition.h"

namespace forms::frmOption {

inline constexpr std::uint8_t Command1 = 1, Image1 = 2;
const rt::WindowDef& Definition();

}  // namespace forms::frmOption
