// The main window: the welcome screen behind the whole setup, holder of the
// answers the dialogs leave, and of the setup sequence and its presenters.
#pragma once

#include <string>
#include <string_view>

#include "forms/frmAcrobat.h"
#include "runtime/form.h"

class frmAcrobat : public rt::Form {
 public:
  explicit frmAcrobat(rt::Runtime& runtime) : rt::Form(runtime, forms::frmAcrobat::Definition()) {}

  // The whole shared state of the program; never reset.
  rt::Boolean blnAcrobat = rt::False;
  rt::Boolean blnResult = rt::False;
  rt::Long lngLeft = 0;
  rt::Long lngTop = 0;

  void RunSetup();
  void MyMsgBox(const std::string& strMessage, const rt::Boolean& blnokbutton);
  void MyNewBox(const std::string& strMessage, const rt::Boolean& blnokbutton);
  void myForm();
  // The load handler's first step: the artwork fitted to the screen.
  void FitToScreen();

  rt::Control& Image1() { return Ctl(forms::frmAcrobat::Image1); }
  rt::Control& Image2() { return Ctl(forms::frmAcrobat::Image2); }

 protected:
  void Form_Load() override;

 private:
  void ComputeDialogPosition();
  std::string SetupCommandLine(std::string_view relative);
  bool StartSetup(const std::string& strCommandLine, std::string_view strSetupName);
  void WaitAfterStart();
};
