// The confirmation window, also the setup's general message window.
#pragma once

#include "forms/frmYesNo.h"
#include "runtime/form.h"

class frmYesNo : public rt::Form {
 public:
  explicit frmYesNo(rt::Runtime& runtime) : rt::Form(runtime, forms::frmYesNo::Definition()) {}

  rt::Control& Command1() { return Ctl(forms::frmYesNo::Command1); }
  rt::Control& Command2() { return Ctl(forms::frmYesNo::Command2); }
  rt::Control& Command3() { return Ctl(forms::frmYesNo::Command3); }
  rt::Control& Label1() { return Ctl(forms::frmYesNo::Label1); }

  void command1_Click();
  void command2_Click();
  void command3_Click();

 protected:
  void Click(std::uint8_t control_id) override;
};
