// What a screen reader reads of a window, in order: its visible labels,
// then its visible buttons, each group in TabIndex order (ties in the
// definition's order). Pictures are only painted: decoration, not read.
#pragma once

#include <vector>

namespace rt {

class Control;
class Form;

std::vector<const Control*> ReadingOrder(const Form& window);

// The order itself, of a window's labels and buttons, shown or not.
bool ReadsBefore(const Control& a, const Control& b);

}  // namespace rt
