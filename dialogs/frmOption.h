// The closing window: the range of products over the whole screen and the
// one button that ends the program, 30 pixels from the bottom right corner.
#pragma once

#include "forms/frmOption.h"
#include "runtime/form.h"

class frmOption : public rt::Form {
 public:
  explicit frmOption(rt::Runtime& runtime) : rt::Form(runtime, forms::frmOption::Definition()) {}

  rt::Control& Command1() { return Ctl(forms::frmOption::Command1); }
  rt::Control& Image1() { return Ctl(forms::frmOption::Image1); }

  void command1_Click();

 protected:
  void Form_Load() override;
  void Click(std::uint8_t control_id) override;
};
