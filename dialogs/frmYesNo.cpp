// The confirmation window's buttons. "&Ja" unloads first and writes the
// answers after: the caller's modal showing returns only once this handler
// has finished, and the members belong to the main window, which stays.
#include "dialogs/frmYesNo.h"

#include "setup/frmAcrobat.h"

void frmYesNo::Click(std::uint8_t control_id) {
  if (control_id == forms::frmYesNo::Command1) command1_Click();
  if (control_id == forms::frmYesNo::Command2) command2_Click();
  if (control_id == forms::frmYesNo::Command3) command3_Click();
}

void frmYesNo::command1_Click() {
  Unload();
  Instance<frmAcrobat>().blnAcrobat = rt::False;
  Instance<frmAcrobat>().blnResult = rt::True;
}

void frmYesNo::command2_Click() {
  Instance<frmAcrobat>().blnResult = rt::False;
  Unload();
}

void frmYesNo::command3_Click() { Unload(); }
