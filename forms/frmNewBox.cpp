// The notice window: the game question and the notices of the setup.
#include "forms/frmNewBox.h"
#include "forms/look.h"
#include "forms/pictures.h"
#include "forms/texts.h"

namespace forms::frmNewBox {

const rt::WindowDef& Definition() {
  using rt::ControlKind;
  static const rt::ControlDef controls[] = {
      {.id = Command3, .name = "Command3", .kind = ControlKind::kButton, .left = 1560, .top = 1320, .width = 1215,
       .height = 375, .caption = "&OK", .tab_index = 2, .visible = rt::False},
      {.id = Command1, .name = "Command1", .kind = ControlKind::kButton, .left = 2400, .top = 1320, .width = 1215,
       .height = 375, .caption = "&Ja", .tab_index = 0, .is_default = rt::True},
      {.id = Command2, .name = "Command2", .kind = ControlKind::kButton, .left = 600, .top = 1320, .width = 1215,
       .height = 375, .caption = "&Nine", .tab_index = 1, .cancel = rt::True},
      {.id = Label1, .name = "Label1", .kind = ControlKind::kLabel, .left = 120, .top = 240, .width = 3975,
       .height = 1095, .caption = texts::kT4, .tab_index = 3, .fore_color = kOrange, .back_color = kDarkBlue,
       .back_style = rt::kBackStyleTransparent, .font = kSansSerif975},
  };
  static const rt::WindowDef def{
      .name = "frmNewBox",
      .caption = "Mirelund  Installation ",
      .back_color = kDarkBlue,
      .icon = {rt::IconKind::kPicture, pictures::DialogIcon()},
      .client_left = 8175,
      .client_top = 6000,
      .client_width = 4170,
      .client_height = 1890,
      .controls = controls,
  };
  return def;
}

}  // namespace forms::frmNewBox
