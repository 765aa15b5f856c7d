// The dialogs' shared look: their colours and fonts.
#pragma once

#include "runtime/definition.h"

namespace forms {

inline constexpr rt::Colour kDarkBlue{0x00400000u};
inline constexpr rt::Colour kOrange{0x000080FFu};
inline constexpr rt::FontRecord kSansSerif975{.size = 97500, .face = "MS Sans Serif"};
inline constexpr rt::FontRecord kArialBold1275{.weight = 700, .size = 127500, .face = "Arial"};

}  // namespace forms
