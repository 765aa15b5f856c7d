// The confirmation window, also the general message window of the setup.
#include "forms/frmYesNo.h"
#include "forms/look.h"
#include "forms/texts.h"

namespace forms::frmYesNo {

const rt::WindowDef& Definition() {
  using rt::ControlKind;
  static const rt::ControlDef controls[] = {
      {.id = Command2, .name = "Command2", .kind = ControlKind::kButton, .left = 840, .top = 1560, .width = 975,
       .height = 375, .caption = "&Nine", .tab_index = 0, .cancel = rt::True},
      {.id = Command1, .name = "Command1", .kind = ControlKind::kButton, .left = 2400, .top = 1560, .width = 975,
       .height = 375, .caption = "&Ja", .tab_index = 1, .is_default = rt::True},
      {.id = Command3, .name = "Command3", .kind = ControlKind::kButton, .left = 1560, .top = 1560, .width = 975,
       .height = 375, .caption = "&OK", .tab_index = 2, .visible = rt::False},
      {.id = Label1, .name = "Label1", .kind = ControlKind::kLabel, .left = 240, .top = 120, .width = 3735,
       .height = 1215, .caption = texts::kT3, .tab_index = 3, .fore_color = kOrange,
       .back_style = rt::kBackStyleTransparent, .font = kSansSerif975},
  };
  static const rt::WindowDef def{
      .name = "frmYesNo",
      .caption = "Acrobat Reader Installation (empfohlen)",
      .back_color = kDarkBlue,
      .client_left = 6450,
      .client_top = 8970,
      .client_width = 4125,
      .client_height = 2100,
      .controls = controls,
  };
  return def;
}

}  // namespace forms::frmYesNo
