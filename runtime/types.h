// The value types the program's logic works in: twips as Single, 32-bit Long,
// and 16-bit Booleans whose True is all bits set.
#pragma once

#include <cstdint>

namespace rt {

using Single = float;
using Long = std::int32_t;
using Boolean = std::int16_t;

inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;

// The logic treats a Boolean as True only when it holds exactly -1.
constexpr bool IsTrue(Boolean b) { return b == True; }

constexpr Boolean ToBoolean(bool b) { return b ? True : False; }

// Mouse pointer values of the screen object.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;

// Show mode of a started program's window.
inline constexpr Long kShowMaximized = 3;

}  // namespace rt
