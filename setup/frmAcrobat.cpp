// Start-up: fit the welcome artwork to the screen, run the setup, unload.
#include "setup/frmAcrobat.h"

#include "runtime/vbmath.h"

using rt::Single;

void frmAcrobat::Form_Load() {
  FitToScreen();
  SetVisible(rt::True);
  RunSetup();
  Unload();
}

void frmAcrobat::FitToScreen() {
  const Single W1 = Image1().Width();
  const Single SW = Screen().Width();
  const Single RW = rt::CSng(rt::Div(SW, W1));
  const Single H1 = Image1().Height();
  const Single SH = Screen().Height();
  const Single RH = rt::CSng(rt::Div(SH, H1));

  Image1().SetHeight(SH);
  Image1().SetWidth(SW);
  // Scaled by the ratios taken before Image1 changed; the position stays.
  Image2().SetWidth(rt::CSng(static_cast<double>(Image2().Width()) * RW));
  Image2().SetHeight(rt::CSng(static_cast<double>(Image2().Height()) * RH));
}
