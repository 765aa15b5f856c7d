// The closing window: the picture over the screen, the button 30 pixels from
// the bottom right corner in each axis's own pixels, and the program's end.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

using rt::headless::HeadlessBackend;
using testing_support::Alt;
using testing_support::Enter;
using testing_support::Escape;
using testing_support::Program;

struct Layout {
  float image_w, image_h, button_left, button_top, button_w, button_h;
};

Layout LoadOn(rt::ScreenMetrics screen) {
  Program p(screen);
  Layout l{};
  p.backend.Click("frmOption", "Command1");
  EXPECT_EQ(p.RunWith([&] {
              p.Main().myForm();
              frmOption& o = p.Window<frmOption>();
              // myForm returns while the closing window stays up, not modal.
              EXPECT_TRUE(o.IsLoaded());
              EXPECT_TRUE(rt::IsTrue(o.Visible()));
              EXPECT_FALSE(p.backend.Record("frmOption")->modal);
              l = {o.Image1().Width(),    o.Image1().Height(), o.Command1().Left(),
                   o.Command1().Top(), o.Command1().Width(), o.Command1().Height()};
            }),
            0);
  EXPECT_FALSE(p.runtime.AnyLoaded());
  return l;
}

TEST(ClosingWindow, FillsTheScreenAndPutsTheButtonIntoTheCorner) {
  const struct {
    rt::ScreenMetrics screen;
    Layout expected;
  } cases[] = {
      {{640, 480, 15, 15}, {9600, 7200, 7935, 6375, 1215, 375}},
      {{800, 600, 15, 15}, {12000, 9000, 10335, 8175, 1215, 375}},
      // Each margin in its own axis's pixels: 30 × 12 across, 30 × 15 down.
      {{800, 600, 12, 15}, {9600, 9000, 9600 - 1215 - 360, 8175, 1215, 375}},
      {{1920, 1080, 15, 12}, {28800, 12960, 28800 - 1215 - 450, 12960 - 375 - 360, 1215, 375}},
  };
  for (const auto& c : cases) {
    const Layout l = LoadOn(c.screen);
    EXPECT_FLOAT_EQ(l.image_w, c.expected.image_w);
    EXPECT_FLOAT_EQ(l.image_h, c.expected.image_h);
    EXPECT_FLOAT_EQ(l.button_left, c.expected.button_left) << c.screen.width_px;
    EXPECT_FLOAT_EQ(l.button_top, c.expected.button_top) << c.screen.height_px;
    EXPECT_FLOAT_EQ(l.button_w, c.expected.button_w);
    EXPECT_FLOAT_EQ(l.button_h, c.expected.button_h);
  }
}

TEST(ClosingWindow, DesignedPictureReachesPastTheClientArea) {
  const auto& d = forms::frmOption::Definition();
  const auto& image = d.controls[forms::frmOption::Image1 - 1];
  EXPECT_EQ(image.width - d.client_width, 120);
  EXPECT_EQ(image.height - d.client_height, 405);
  EXPECT_EQ(d.controls[0].kind, rt::ControlKind::kButton);  // in front of the picture
}

TEST(ClosingWindow, EnterAndAltEEndTheProgramEscapeDoesNothing) {
  for (const rt::KeyInput key : {Enter(), Alt('e'), rt::KeyInput{rt::Key::kChar, 'E', false}}) {
    Program p;
    p.backend.Press("frmOption", Escape())
        .Then([](HeadlessBackend& b) { EXPECT_NE(b.FindWindow("frmOption"), nullptr); })
        .Press("frmOption", key)
        .Then([](HeadlessBackend&) { ADD_FAILURE() << "the program went on after the last window"; });
    EXPECT_EQ(p.RunWith([&] { p.Main().myForm(); }), 0);
    EXPECT_FALSE(p.Window<frmOption>().IsLoaded());
    EXPECT_EQ(p.backend.StepsLeft(), 1u);
  }
}

TEST(ClosingWindow, ClosedAnyOtherWayTheProgramEndsAlike) {
  Program p;
  p.backend.Close("frmOption");
  EXPECT_EQ(p.RunWith([&] { p.Main().myForm(); }), 0);
  EXPECT_FALSE(p.runtime.AnyLoaded());
}

}  // namespace
