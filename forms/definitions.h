// The five window definitions of the program, and the ids by which the code
// reaches their controls. Each definition is built once and never changed.
#pragma once

#include <cstdint>

#include "forms/texts.h"
#include "runtime/definition.h"

namespace forms {

// The dialogs' shared look.
inline constexpr rt::Colour kDarkBlue{0x00400000u};
inline constexpr rt::Colour kOrange{0x000080FFu};
inline constexpr rt::FontRecord kSansSerif975{.size = 97500, .face = "MS Sans Serif"};
inline constexpr rt::FontRecord kArialBold1275{.weight = 700, .size = 127500, .face = "Arial"};

namespace frmAcrobat {
inline constexpr std::uint8_t Image2 = 1, Image1 = 2;
const rt::WindowDef& Definition();
}  // namespace frmAcrobat

namespace frmMsgBox {
inline constexpr std::uint8_t Command2 = 1, Command1 = 2, Image1 = 3, Label1 = 4, lblMessage = 5;
const rt::WindowDef& Definition();
}  // namespace frmMsgBox

namespace frmYesNo {
inline constexpr std::uint8_t Command2 = 1, Command1 = 2, Command3 = 3, Label1 = 4;
const rt::WindowDef& Definition();
}  // namespace frmYesNo

namespace frmNewBox {
inline constexpr std::uint8_t Command3 = 1, Command1 = 2, Command2 = 3, Label1 = 4;
const rt::WindowDef& Definition();
}  // namespace frmNewBox

namespace frmOption {
inline constexpr std::uint8_t Command1 = 1, Image1 = 2;
const rt::WindowDef& Definition();
}  // namespace frmOption

}  // namespace forms
