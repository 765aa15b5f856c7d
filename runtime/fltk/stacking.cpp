// Back-to-front order of a window's controls.
#include "runtime/fltk/stacking.h"

namespace rt::fltk {

std::vector<std::size_t> BackToFront(std::span<const ControlKind> kinds) {
  std::vector<std::size_t> order;
  order.reserve(kinds.size());
  for (int pass = 0; pass < 2; ++pass) {
    const bool buttons = pass == 1;
    for (std::size_t i = kinds.size(); i-- > 0;)
      if ((kinds[i] == ControlKind::kButton) == buttons) order.push_back(i);
  }
  return order;
}

}  // namespace rt::fltk
