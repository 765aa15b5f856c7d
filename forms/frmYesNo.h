// The ids by which the code reaches the confirmation and message window's controls, and its
// definition, built once and never changed.
#pragma once

#include <cstdint>

#include "runtime/definition.h"

namespace forms::frmYesNo {

inline constexpr std::uint8_t Command2 = 1, Command1 = 2, Command3 = 3, Label1 = 4;
const rt::WindowDef& Definition();

}  // namespace forms::frmYesNo
