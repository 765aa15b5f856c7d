#include "runtime/reading_order.h"

#include <algorithm>

#include "runtime/form.h"

namespace rt {

std::vector<const Control*> ReadingOrder(const Form& window) {
  std::vector<const Control*> order;
  for (const auto& c : window.Controls())
    if (c->Kind() != ControlKind::kImage && IsTrue(c->Visible())) order.push_back(c.get());
  std::sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return ReadsBefore(*a, *b); });
  return order;
}

bool ReadsBefore(const Control& a, const Control& b) {
  if (a.IsButton() != b.IsButton()) return !a.IsButton();
  if (a.def().tab_index != b.def().tab_index) return a.def().tab_index < b.def().tab_index;
  return a.Id() < b.Id();
}

}  // namespace rt
