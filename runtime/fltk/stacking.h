// The order in which a window's controls become FLTK children. FLTK draws
// later children on top and offers clicks to them first; the program wants
// the control listed earlier in front, and every button in front of every
// label and image.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "runtime/definition.h"

namespace rt::fltk {

// Indexes into `kinds` (the definition order), back to front.
std::vector<std::size_t> BackToFront(std::span<const ControlKind> kinds);

}  // namespace rt::fltk
