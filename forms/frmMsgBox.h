// The ids by which the code reaches the Acrobat Reader offer's controls, and its
// definition, built once and never changed.
#pragma once

#include <cstdint>

#include "runtime/definition.h"

namespace forms::frmMsgBox {

inline constexpr std::uint8_t Command2 = 1, Command1 = 2, Image1 = 3, Label1 = 4, lblMessage = 5;
const rt::WindowDef& Definition();

}  // namespace forms::frmMsgBox
