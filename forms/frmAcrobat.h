// The ids by which the code reaches the welcome window's controls, and its
// definition, built once and never changed.
#pragma once

#include <cstdint>

#include "runtime/definition.h"

namespace forms::frmAcrobat {

inline constexpr std::uint8_t Image2 = 1, Image1 = 2;
const rt::WindowDef& Definition();

}  // namespace forms::frmAcrobat
