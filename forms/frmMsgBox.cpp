// The Acrobat Reader offer window.
#include "forms/frmMsgBox.h"
#include "forms/look.h"
#include "forms/pictures.h"
#include "forms/texts.h"

namespace forms::frmMsgBox {

const rt::WindowDef& Definition() {
  using rt::ControlKind;
  static const rt::ControlDef controls[] = {
      {.id = Command2, .name = "Command2", .kind = ControlKind::kButton, .left = 3960, .top = 2040, .width = 975,
       .height = 375, .caption = "&Ja", .tab_index = 2, .is_default = rt::True},
      {.id = Command1, .name = "Command1", .kind = ControlKind::kButton, .left = 2640, .top = 2040, .width = 975,
       .height = 375, .caption = "&Nine", .tab_index = 3, .cancel = rt::True},
      {.id = Image1, .name = "Image1", .kind = ControlKind::kImage, .left = 360, .top = 240, .width = 1305,
       .height = 1380, .picture = pictures::ReaderProduct(), .stretch = rt::True},
      {.id = Label1, .name = "Label1", .kind = ControlKind::kLabel, .left = 2160, .top = 840, .width = 3135,
       .height = 975, .caption = texts::kT1, .tab_index = 1, .fore_color = kOrange,
       .back_style = rt::kBackStyleTransparent, .font = kSansSerif975},
      {.id = lblMessage, .name = "lblMessage", .kind = ControlKind::kLabel, .left = 2160, .top = 240,
       .width = 3495, .height = 855, .caption = texts::kT2, .tab_index = 0, .fore_color = kOrange,
       .back_style = rt::kBackStyleTransparent, .font = kArialBold1275},
  };
  static const rt::WindowDef def{
      .name = "frmMsgBox",
      .caption = "Acrobat Reader Installation (empfohlen)",
      .back_color = kDarkBlue,
      .icon = {rt::IconKind::kPicture, pictures::DialogIcon()},
      .client_left = 8130,
      .client_top = 9480,
      .client_width = 5565,
      .client_height = 2580,
      .controls = controls,
  };
  return def;
}

}  // namespace forms::frmMsgBox
