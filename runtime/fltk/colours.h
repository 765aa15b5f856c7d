// The colours the backend draws: explicit 0x00BBGGRR values as they stand,
// system colours (high bit set) from the classic Windows scheme, so that a
// window looks the same on every desktop.
#pragma once

#include <cstdint>

#include "runtime/definition.h"

namespace rt::fltk {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  constexpr bool operator==(const Rgb&) const = default;
};

// An unknown system colour index draws black.
Rgb ToRgb(Colour colour);

Rgb SystemColour(std::uint8_t index);

// System colour indexes the button drawing uses.
inline constexpr std::uint8_t kSysButtonShadow = 16;
inline constexpr std::uint8_t kSysButtonText = 18;
inline constexpr std::uint8_t kSysButtonHighlight = 20;
inline constexpr std::uint8_t kSysDarkShadow = 21;
inline constexpr std::uint8_t kSysLight = 22;
inline constexpr std::uint8_t kSysTooltipText = 23;
inline constexpr std::uint8_t kSysTooltipBack = 24;

}  // namespace rt::fltk
