#include "runtime/reading_order.h"

#include <algorithm>

#include "runtime/form.h"

namespace rt {

std::vector<const Control*> ReadingOrder(const Form& window) {
  // A window has a few controls: each put in its place as it comes, which
  // in START.EXE is far less code than a sort.
  const auto before = [](const Control* a, const Control* b) { return ReadsBefore(*a, *b); };
  std::vector<const Control*> order;
  for (const auto& c : window.Controls())
    if (c->Kind() != ControlKind::kImage && IsTrue(c->Visible()))
      order.insert(std::upper_bound(order.begin(), order.end(), c.get(), before), c.get());
  return order;
}

bool ReadsBefore(const Control& a, const Control& b) {
  if (a.IsButton() != b.IsButton()) return !a.IsButton();
  if (a.def().tab_index != b.def().tab_index) return a.def().tab_index < b.def().tab_index;
  return a.Id() < b.Id();
}

}  // namespace rt
