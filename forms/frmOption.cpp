// The closing window: the range of products, and the one button that ends.
#include "forms/frmOption.h"
#include "forms/pictures.h"

namespace forms::frmOption {

const rt::WindowDef& Definition() {
  using rt::ControlKind;
  static const rt::ControlDef controls[] = {
      {.id = Command1, .name = "Command1", .kind = ControlKind::kButton, .left = 6720, .top = 6000, .width = 1215,
       .height = 375, .caption = "&Ende", .tab_index = 0, .is_default = rt::True,
       .tooltip = "Viel Spa\xDF beim Spielen!"},
      {.id = Image1, .name = "Image1", .kind = ControlKind::kImage, .left = 0, .top = 0, .width = 8445,
       .height = 7500, .picture = pictures::ProductRange(), .stretch = rt::True},
  };
  static const rt::WindowDef def{
      .name = "frmOption",
      .caption = "Range of our products ...",
      .back_color = rt::kSystemWindowColour,
      .window_state = rt::kWindowStateMaximized,
      .icon = {rt::IconKind::kNone, {}},
      .client_left = 2445,
      .client_top = 3000,
      .client_width = 8325,
      .client_height = 7095,
      .controls = controls,
  };
  return def;
}

}  // namespace forms::frmOption
