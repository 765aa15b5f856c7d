// The offer window's two buttons.
#include "dialogs/frmMsgBox.h"

#include "dialogs/frmYesNo.h"
#include "runtime/vbmath.h"
#include "setup/frmAcrobat.h"

using rt::Single;

rt::Single CentreOn(Single outer, Single inner, rt::Long origin) {
  return rt::CSng((static_cast<double>(outer) - inner) / 2.0 + origin);
}

void frmMsgBox::Click(std::uint8_t control_id) {
  if (control_id == forms::frmMsgBox::Command1) command1_Click();
  if (control_id == forms::frmMsgBox::Command2) command2_Click();
}

void frmMsgBox::command2_Click() {
  Instance<frmAcrobat>().blnAcrobat = rt::True;
  Unload();
}

// Centred on the rectangle at (lngLeft, lngTop) with this window's size, not
// on where the window stands now; half twips are kept, nothing is clamped.
void frmMsgBox::command1_Click() {
  frmYesNo& confirm = Instance<frmYesNo>();
  frmAcrobat& main = Instance<frmAcrobat>();

  const Single width = Width();
  const Single confirm_width = confirm.Width();
  const rt::Long left = main.lngLeft;
  confirm.SetLeft(CentreOn(width, confirm_width, left));

  const Single height = Height();
  const Single confirm_height = confirm.Height();
  const rt::Long top = main.lngTop;
  confirm.SetTop(CentreOn(height, confirm_height, top));

  confirm.Show(1, this);
  if (rt::IsTrue(main.blnResult)) Unload();
}
