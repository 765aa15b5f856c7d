// The ids by which the code reaches the game question and notice window's controls, and its
// definition, built once and never changed.
#pragma once

#include <cstdint>

#include "runtime/definition.h"

namespace forms::frmNewBox {

inline constexpr std::uint8_t Command3 = 1, Command1 = 2, Command2 = 3, Label1 = 4;
const rt::WindowDef& Definition();

}  // namespace forms::frmNewBox
