// The notice window: the game question and the setup's notices.
#pragma once

#include "forms/frmNewBox.h"
#include "runtime/form.h"

class frmNewBox : public rt::Form {
 public:
  explicit frmNewBox(rt::Runtime& runtime) : rt::Form(runtime, forms::frmNewBox::Definition()) {}

  rt::Control& Command1() { return Ctl(forms::frmNewBox::Command1); }
  rt::Control& Command2() { return Ctl(forms::frmNewBox::Command2); }
  rt::Control& Command3() { return Ctl(forms::frmNewBox::Command3); }
  rt::Control& Label1() { return Ctl(forms::frmNewBox::Label1); }

  void command1_Click();
  void command2_Click();
  void command3_Click();

 protected:
  void Click(std::uint8_t control_id) override;
};
