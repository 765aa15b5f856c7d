// The welcome window: fitting the artwork to the screen, and its lifecycle.
#include <gtest/gtest.h>

#include <algorithm>

#include "program_fixture.h"
#include "runtime/vbmath.h"

namespace {

using testing_support::Program;
using rt::headless::HeadlessBackend;

struct Fitted {
  float image1_w, image1_h, image2_l, image2_t, image2_w, image2_h;
};

// Runs the launcher up to the first dialog and reads the two images there.
Fitted FitOn(rt::ScreenMetrics screen) {
  Program p(screen);
  Fitted f{};
  p.backend.Then([&](HeadlessBackend&) {
    frmAcrobat& m = p.Main();
    f = {m.Image1().Width(), m.Image1().Height(), m.Image2().Left(),
         m.Image2().Top(),   m.Image2().Width(),  m.Image2().Height()};
  });
  testing_support::DeclineEverything(p.backend);
  EXPECT_EQ(p.RunLauncher(), 0);
  return f;
}

float Scaled(float designed, double screen_twips, double design_twips) {
  const float ratio = static_cast<float>(screen_twips / design_twips);
  return static_cast<float>(static_cast<double>(designed) * ratio);
}

TEST(WelcomeWindow, OnTheDesignedScreenSizeBothRatiosAreOne) {
  const Fitted f = FitOn({555, 473, 15, 15});  // 8325 x 7095 twips
  EXPECT_FLOAT_EQ(f.image1_w, 8325);
  EXPECT_FLOAT_EQ(f.image1_h, 7095);
  EXPECT_FLOAT_EQ(f.image2_w, 3255);
  EXPECT_FLOAT_EQ(f.image2_h, 4170);
}

TEST(WelcomeWindow, WorkedExampleOn9600By7200Twips) {
  const Fitted f = FitOn({640, 480, 15, 15});
  EXPECT_FLOAT_EQ(f.image1_w, 9600);
  EXPECT_FLOAT_EQ(f.image1_h, 7200);
  EXPECT_NEAR(f.image2_w, 3753.51, 0.01);
  EXPECT_NEAR(f.image2_h, 4231.71, 0.01);
  EXPECT_EQ(f.image2_w, Scaled(3255, 9600, 8325));
  EXPECT_EQ(f.image2_h, Scaled(4170, 7200, 7095));
}

TEST(WelcomeWindow, EachAxisHasItsOwnFactorAndPositionsNeverScale) {
  const struct {
    rt::ScreenMetrics screen;
  } screens[] = {{{1920, 1080, 15, 15}}, {{320, 200, 15, 15}}, {{1024, 768, 12, 12}}, {{800, 600, 12, 15}},
                 {{7680, 4320, 15, 15}}};
  for (const auto& s : screens) {
    const double sw = s.screen.width_px * static_cast<double>(s.screen.twips_per_pixel_x);
    const double sh = s.screen.height_px * static_cast<double>(s.screen.twips_per_pixel_y);
    const Fitted f = FitOn(s.screen);
    EXPECT_FLOAT_EQ(f.image1_w, sw);
    EXPECT_FLOAT_EQ(f.image1_h, sh);
    // From the designed size of Image1, not from its new size.
    EXPECT_EQ(f.image2_w, Scaled(3255, sw, 8325)) << s.screen.width_px;
    EXPECT_EQ(f.image2_h, Scaled(4170, sh, 7095)) << s.screen.height_px;
    EXPECT_FLOAT_EQ(f.image2_l, 360);
    EXPECT_FLOAT_EQ(f.image2_t, 360);
  }
}

TEST(WelcomeWindow, DesignedStateBeforeTheLoadHandlerAndAfterReload) {
  Program p;
  frmAcrobat& m = p.Main();
  EXPECT_EQ(m.blnAcrobat, rt::False);
  EXPECT_EQ(m.blnResult, rt::False);
  EXPECT_EQ(m.lngLeft, 0);
  EXPECT_EQ(m.lngTop, 0);
  EXPECT_FALSE(m.IsLoaded());  // the instance exists; the window is not loaded
  EXPECT_EQ(m.Caption(), "Willkommen zur Mirelund Installation.");
  const auto& d = m.def();
  EXPECT_EQ(d.controls[0].name, "Image2");  // in front of Image1
  EXPECT_EQ(d.controls[1].name, "Image1");
  EXPECT_EQ(d.controls[1].width, 8325);
  EXPECT_EQ(d.controls[1].height, 7095);
  EXPECT_EQ(d.window_state, rt::kWindowStateMaximized);
}

TEST(WelcomeWindow, AfterTheLoadHandlerOnlyTheClosingWindowIsLoaded) {
  Program p;
  walks::Script(p.backend, "decline", [&](const walks::Step& s, HeadlessBackend& b) {
    if (s.form != "frmOption") return;
    EXPECT_FALSE(p.Main().IsLoaded());
    EXPECT_TRUE(p.Window<frmOption>().IsLoaded());
    EXPECT_TRUE(rt::IsTrue(p.Window<frmOption>().Visible()));
    EXPECT_EQ(b.FindWindow("frmAcrobat"), nullptr);
  });
  EXPECT_EQ(p.RunLauncher(), 0);
  EXPECT_FALSE(p.runtime.AnyLoaded());
  EXPECT_EQ(p.backend.StepsLeft(), 0u);
  // An unloaded window lets go of its decoded pictures.
  EXPECT_EQ(p.Main().BackgroundPicture(), nullptr);
  EXPECT_EQ(p.Main().IconImage(), nullptr);
  // The start-up window was shown once, not modally, before the offer.
  const auto& log = p.backend.Log();
  EXPECT_EQ(log[0], "create frmAcrobat");
  EXPECT_EQ(std::count(log.begin(), log.end(), "show frmAcrobat"), 1);
  EXPECT_LT(std::find(log.begin(), log.end(), "show frmAcrobat") - log.begin(),
            std::find(log.begin(), log.end(), "create frmMsgBox") - log.begin());
}

TEST(WelcomeWindow, ScreenWithoutTwipsPerPixelEndsWithTheStandardError) {
  for (const rt::ScreenMetrics screen : {rt::ScreenMetrics{640, 480, 0, 15}, rt::ScreenMetrics{640, 480, 15, 0},
                                         rt::ScreenMetrics{0, 0, 15, 15}}) {
    Program p(screen);
    EXPECT_EQ(p.RunLauncher(), rt::kErrorExitStatus);
    ASSERT_EQ(p.backend.Errors().size(), 1u);
    EXPECT_EQ(p.backend.Errors()[0].rfind("Laufzeitfehler '", 0), 0u);
    EXPECT_TRUE(p.backend.Starts().empty());
  }
}

TEST(WelcomeWindow, AbsurdScreenSizeOverflowsInsteadOfPlacingDialogsNowhere) {
  Program p({2'000'000'000, 1'000'000'000, 15, 15});
  EXPECT_EQ(p.RunLauncher(), rt::kErrorExitStatus);
  ASSERT_EQ(p.backend.Errors().size(), 1u);
  EXPECT_NE(p.backend.Errors()[0].find("'6'"), std::string::npos);
}

// A window whose picture is not a picture.
constexpr std::uint8_t kGarbage[] = {'B', 'M', 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0x36, 0, 0, 0};
constexpr rt::ControlDef kBadImage[] = {
    {.id = 1, .name = "Image1", .kind = rt::ControlKind::kImage, .width = 300, .height = 300, .picture = kGarbage}};
constexpr rt::WindowDef kBadDef{.name = "frmBad", .client_width = 600, .client_height = 600, .controls = kBadImage};
class frmBad : public rt::Form {
 public:
  explicit frmBad(rt::Runtime& r) : rt::Form(r, kBadDef) {}
};

TEST(WelcomeWindow, CorruptPictureGivesTheStandardErrorNotACrash) {
  Program p;
  EXPECT_EQ(p.RunWith([&] { p.Window<frmBad>().Show(0); }), rt::kErrorExitStatus);
  ASSERT_EQ(p.backend.Errors().size(), 1u);
  EXPECT_NE(p.backend.Errors()[0].find("'481'"), std::string::npos);
  EXPECT_FALSE(p.Window<frmBad>().IsLoaded());
  EXPECT_EQ(p.backend.FindWindow("frmBad"), nullptr);
}

}  // namespace
