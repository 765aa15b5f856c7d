// The closing window's load handler and its button.
#include "dialogs/frmOption.h"

#include "runtime/vbmath.h"

namespace {
constexpr double kButtonMarginPixels = 30;
}

void frmOption::Form_Load() {
  const double SH = Screen().Height();
  const double SW = Screen().Width();
  Image1().SetHeight(rt::CSng(SH));
  Image1().SetWidth(rt::CSng(SW));
  // Each margin in its own axis's pixels.
  Command1().SetTop(rt::CSng((SH - Command1().Height()) - kButtonMarginPixels * Screen().TwipsPerPixelY()));
  Command1().SetLeft(rt::CSng((SW - Command1().Width()) - kButtonMarginPixels * Screen().TwipsPerPixelX()));
  SetVisible(rt::True);
}

void frmOption::Click(std::uint8_t control_id) {
  if (control_id == forms::frmOption::Command1) command1_Click();
}

// The program ends because no window is left loaded.
void frmOption::command1_Click() { Unload(); }
