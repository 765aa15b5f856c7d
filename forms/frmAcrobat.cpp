// The start-up window: the full-screen welcome artwork behind the setup.
#include "forms/frmAcrobat.h"
#include "forms/pictures.h"

namespace forms::frmAcrobat {

const rt::WindowDef& Definition() {
  static const rt::ControlDef controls[] = {
      {.id = Image2, .name = "Image2", .kind = rt::ControlKind::kImage, .left = 360, .top = 360, .width = 3255,
       .height = 4170, .picture = pictures::WelcomeInset(), .stretch = rt::True, .border_style = rt::kBorderSingle},
      {.id = Image1, .name = "Image1", .kind = rt::ControlKind::kImage, .left = 0, .top = 0, .width = 8325,
       .height = 7095, .picture = pictures::Welcome(), .stretch = rt::True},
  };
  static const rt::WindowDef def{
      .name = "frmAcrobat",
      .caption = "Willkommen zur Mirelund Installation.",
      .window_state = rt::kWindowStateMaximized,
      .icon = {rt::IconKind::kPicture, pictures::MainIcon()},
      .picture = pictures::MainBackground(),
      .client_left = 2445,
      .client_top = 2970,
      .client_width = 8325,
      .client_height = 7095,
      .controls = controls,
  };
  return def;
}

}  // namespace forms::frmAcrobat
