// The classic Windows system colour scheme.
#include "runtime/fltk/colours.h"

#include <array>

namespace rt::fltk {

namespace {

constexpr std::array<Rgb, 31> kSystem = {{
    {212, 208, 200},  // 0 scroll bar
    {58, 110, 165},   // 1 desktop
    {10, 36, 106},    // 2 active caption
    {128, 128, 128},  // 3 inactive caption
    {212, 208, 200},  // 4 menu
    {255, 255, 255},  // 5 window background
    {0, 0, 0},        // 6 window frame
    {0, 0, 0},        // 7 menu text
    {0, 0, 0},        // 8 window text
    {255, 255, 255},  // 9 caption text
    {212, 208, 200},  // 10 active border
    {212, 208, 200},  // 11 inactive border
    {128, 128, 128},  // 12 application workspace
    {10, 36, 106},    // 13 highlight
    {255, 255, 255},  // 14 highlight text
    {212, 208, 200},  // 15 button face
    {128, 128, 128},  // 16 button shadow
    {128, 128, 128},  // 17 grey text
    {0, 0, 0},        // 18 button text
    {212, 208, 200},  // 19 inactive caption text
    {255, 255, 255},  // 20 button highlight
    {64, 64, 64},     // 21 3D dark shadow
    {212, 208, 200},  // 22 3D light
    {0, 0, 0},        // 23 tooltip text
    {255, 255, 225},  // 24 tooltip background
    {181, 181, 181},  // 25 (unused by Windows)
    {0, 0, 128},      // 26 hot tracking
    {166, 202, 240},  // 27 active caption gradient
    {192, 192, 192},  // 28 inactive caption gradient
    {49, 106, 197},   // 29 menu highlight
    {236, 233, 216},  // 30 menu bar
}};

}  // namespace

Rgb SystemColour(std::uint8_t index) { return index < kSystem.size() ? kSystem[index] : Rgb{}; }

Rgb ToRgb(Colour colour) {
  if (colour.IsSystem()) return SystemColour(colour.SystemIndex());
  return {colour.Red(), colour.Green(), colour.Blue()};
}

}  // namespace rt::fltk
