// The notice window's buttons.
#include "dialogs/frmNewBox.h"

#include "setup/frmAcrobat.h"

void frmNewBox::Click(std::uint8_t control_id) {
  if (control_id == forms::frmNewBox::Command1) command1_Click();
  if (control_id == forms::frmNewBox::Command2) command2_Click();
  if (control_id == forms::frmNewBox::Command3) command3_Click();
}

void frmNewBox::command1_Click() {
  Unload();
  Instance<frmAcrobat>().blnResult = rt::True;
}

void frmNewBox::command2_Click() {
  Instance<frmAcrobat>().blnResult = rt::False;
  Unload();
}

void frmNewBox::command3_Click() { Unload(); }
