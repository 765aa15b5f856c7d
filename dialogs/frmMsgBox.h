// The Acrobat Reader offer window: "&Ja" accepts; "&Nine" asks for a
// confirmation first, centred on the offer's place, and closes only if the
// refusal is confirmed.
#pragma once

#include "forms/frmMsgBox.h"
#include "runtime/form.h"

// Where a window `inner` wide (or high) goes to be centred on a span `outer`
// wide starting at `origin`: halved by 2.0, rounded to Single only.
rt::Single CentreOn(rt::Single outer, rt::Single inner, rt::Long origin);

class frmMsgBox : public rt::Form {
 public:
  explicit frmMsgBox(rt::Runtime& runtime) : rt::Form(runtime, forms::frmMsgBox::Definition()) {}

  rt::Control& Command1() { return Ctl(forms::frmMsgBox::Command1); }
  rt::Control& Command2() { return Ctl(forms::frmMsgBox::Command2); }
  rt::Control& Image1() { return Ctl(forms::frmMsgBox::Image1); }
  rt::Control& Label1() { return Ctl(forms::frmMsgBox::Label1); }
  rt::Control& lblMessage() { return Ctl(forms::frmMsgBox::lblMessage); }

  void command1_Click();
  void command2_Click();

 protected:
  void Click(std::uint8_t control_id) override;
};
