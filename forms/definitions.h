// The five window definitions of the program, and the ids by which the code
// reaches their controls. Each definition is built once and never changed.
#pragma once

#include <cstdint>
#include <string_view>

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
inline constexpr std::string_view kT1 =
    "Diese Programm erm\xF6glicht Ihnen die Ansicht des elektronischen Handbuches f\xFCr das von Ihnen zu "
    "installierende Spiel.";
inline constexpr std::string_view kT2 = "M\xF6" "chten Sie Acrobat   Reader installieren?";
const rt::WindowDef& Definition();
}  // namespace frmMsgBox

namespace frmYesNo {
inline constexpr std::uint8_t Command2 = 1, Command1 = 2, Command3 = 3, Label1 = 4;
inline constexpr std::string_view kT3 =
    "Ohne das Handbuch zu lesen, k\xF6nnte  es eventuell schwierig werden, das Programm  zu spielen."
    "                                  "
    "Sind Sie sicher, da\xDF Sie es \"NICHT\" installieren wollen?";
const rt::WindowDef& Definition();
}  // namespace frmYesNo

namespace frmNewBox {
inline constexpr std::uint8_t Command3 = 1, Command1 = 2, Command2 = 3, Label1 = 4;
inline constexpr std::string_view kT4 =
    "Um sich das elektronische Handbuch anzuschauen, klicken Sie bitte die MANUAL.PDF Datei auf Ihrer CD "
    "doppelt.";
const rt::WindowDef& Definition();
}  // namespace frmNewBox

namespace frmOption {
inline constexpr std::uint8_t Command1 = 1, Image1 = 2;
const rt::WindowDef& Definition();
}  // namespace frmOption

}  // namespace forms
