// What the Win32 backend paints into a window's client area: the window's
// colour, its background picture at its own size, labels in their colours
// and clipped to their rectangles, stretched pictures at every size,
// the single-line border, and the stacking (earlier listed in front).
#include <gtest/gtest.h>

#include <utility>

#include "tests/win32/support.h"

namespace {

using namespace win32_test;
using rt::ControlKind;

constexpr Rgb kGreen{0, 200, 0}, kRed{220, 0, 0}, kBlue{0, 0, 230}, kYellow{255, 255, 0};
constexpr Rgb kQuadrants[4] = {{250, 10, 10}, {10, 250, 10}, {10, 10, 250}, {250, 250, 10}};

const std::vector<std::uint8_t> kBackground = SolidBmp(40, 30, kGreen);
const std::vector<std::uint8_t> kRedBmp = SolidBmp(10, 10, kRed);
const std::vector<std::uint8_t> kBlueBmp = SolidBmp(7, 3, kBlue);
const std::vector<std::uint8_t> kQuadBmp =
    MakeBmp(2, 2, [](int x, int y) { return kQuadrants[y * 2 + x]; });

constexpr rt::FontRecord kFont{.size = 97500, .face = "MS Sans Serif"};
constexpr rt::Colour kOrangeColour{0x000080FFu};
constexpr rt::Colour kYellowColour{0x0000FFFFu};

// Pixels times 15 twips.
constexpr std::int16_t T(int px) { return static_cast<std::int16_t>(px * 15); }

const rt::ControlDef kControls[] = {
    {.id = 1, .name = "Front", .kind = ControlKind::kLabel, .left = T(90), .top = T(95), .width = T(100),
     .height = T(30), .caption = "Gr\xF6\xDF" "e \xFC" "ber \xC4pfeln", .fore_color = kOrangeColour,
     .back_style = rt::kBackStyleTransparent, .font = kFont},
    {.id = 2, .name = "A", .kind = ControlKind::kImage, .left = T(100), .top = T(100), .width = T(60),
     .height = T(50), .picture = kRedBmp, .stretch = rt::True},
    {.id = 3, .name = "B", .kind = ControlKind::kImage, .left = T(130), .top = T(120), .width = T(70),
     .height = T(60), .picture = kBlueBmp, .stretch = rt::True},
    {.id = 4, .name = "C", .kind = ControlKind::kImage, .left = T(220), .top = T(20), .width = T(60),
     .height = T(60), .picture = kQuadBmp, .stretch = rt::True, .border_style = rt::kBorderSingle},
    {.id = 5, .name = "Opaque", .kind = ControlKind::kLabel, .left = T(10), .top = T(150), .width = T(80),
     .height = T(40), .caption = "x", .fore_color = kOrangeColour, .back_color = kYellowColour,
     .back_style = rt::kBackStyleOpaque, .font = kFont},
    {.id = 6, .name = "Clipped", .kind = ControlKind::kLabel, .left = T(210), .top = T(100), .width = T(80),
     .height = T(16),
     .caption = "Dieser Text ist viel zu lang f\xFCr eine Zeile und wird umbrochen, aber nur die erste bleibt",
     .fore_color = kOrangeColour, .back_style = rt::kBackStyleTransparent, .font = kFont},
    {.id = 7, .name = "Unstretched", .kind = ControlKind::kImage, .left = T(10), .top = T(60), .width = T(30),
     .height = T(30), .picture = kRedBmp},
};
const rt::WindowDef kDef{.name = "frmPaint", .caption = "Malen", .back_color = {{0x400000}},
                         .picture = kBackground, .client_left = 600, .client_top = 600, .client_width = T(300),
                         .client_height = T(200), .controls = kControls};
using PaintForm = TestForm<kDef>;

struct PaintTest : BackendTest {
  PaintForm& form = Window<PaintForm>();
  void SetUp() override { form.Load(); }
  Capture Shot() { return Capture(Hwnd(form)); }
  void CoverWithPictureA() {
    rt::Control& a = form.Ctl(2);
    a.SetLeft(0);
    a.SetTop(0);
    a.SetWidth(T(300));
    a.SetHeight(T(200));
  }
};

TEST_F(PaintTest, WindowColourAndBackgroundPictureAtItsOwnSize) {
  const Capture c = Shot();
  ASSERT_EQ(c.Width(), 300);
  EXPECT_EQ(c.At(0, 0), kGreen);
  EXPECT_EQ(c.At(39, 29), kGreen);
  EXPECT_EQ(c.At(40, 29), kDarkBlue);
  EXPECT_EQ(c.At(39, 30), kDarkBlue);
  EXPECT_EQ(c.At(299, 199), kDarkBlue);
}

TEST_F(PaintTest, LabelTextInItsColourInsideItsRectangle) {
  const Capture c = Shot();
  EXPECT_GT(c.Count(kOrange, 90, 95, 190, 125), 40);
  // Nothing orange left of or above the labels.
  EXPECT_EQ(c.Count(kOrange, 0, 0, 90, 150), 0);
  EXPECT_EQ(c.Count(kOrange, 0, 0, 300, 95), 0);
}

TEST_F(PaintTest, LabelIsClippedToItsRectangle) {
  const Capture c = Shot();
  EXPECT_GT(c.Count(kOrange, 210, 100, 290, 116), 20);
  EXPECT_EQ(c.Count(kOrange, 210, 116, 300, 200), 0);
  EXPECT_EQ(c.Count(kOrange, 290, 100, 300, 116), 0);
  // The core broke it into more lines than are shown.
  EXPECT_GT(form.Ctl(6).Lines().size(), 2u);
}

TEST_F(PaintTest, OpaqueLabelFillsItsRectangle) {
  const Capture c = Shot();
  EXPECT_EQ(c.At(11, 151), kYellow);
  EXPECT_EQ(c.At(88, 188), kYellow);
  EXPECT_EQ(c.At(9, 151), kDarkBlue);
  EXPECT_GT(c.Count(kYellow, 10, 150, 90, 190), 80 * 40 - 100);
}

TEST_F(PaintTest, EarlierListedLiesInFront) {
  const Capture c = Shot();
  EXPECT_EQ(c.At(145, 135), kRed);   // A over B
  EXPECT_EQ(c.At(190, 170), kBlue);  // B alone
  EXPECT_EQ(c.At(101, 149), kRed);
  // The label, listed first, is drawn over picture A.
  EXPECT_GT(c.Count(kOrange, 100, 100, 160, 125), 5);
}

TEST_F(PaintTest, StretchedPictureFillsItsRectangleAndUnstretchedKeepsItsSize) {
  const Capture c = Shot();
  EXPECT_EQ(c.At(131, 179), kBlue);  // 7 x 3 stretched to 70 x 60
  EXPECT_EQ(c.At(199, 121), kBlue);
  // Unstretched: 10 x 10 at the top left of its 30 x 30 rectangle.
  EXPECT_EQ(c.At(10, 60), kRed);
  EXPECT_EQ(c.At(19, 69), kRed);
  EXPECT_EQ(c.At(20, 69), kDarkBlue);
  EXPECT_EQ(c.At(19, 70), kDarkBlue);
}

TEST_F(PaintTest, SingleBorderFramesThePictureInside) {
  const Capture c = Shot();
  const Rgb black{0, 0, 0};
  EXPECT_EQ(c.At(220, 20), black);
  EXPECT_EQ(c.At(279, 79), black);
  EXPECT_EQ(c.At(250, 20), black);
  EXPECT_EQ(c.At(220, 50), black);
  EXPECT_EQ(c.At(219, 20), kDarkBlue);
  EXPECT_EQ(c.At(221, 21), kQuadrants[0]);
  EXPECT_EQ(c.At(278, 21), kQuadrants[1]);
  EXPECT_EQ(c.At(221, 78), kQuadrants[2]);
  EXPECT_EQ(c.At(278, 78), kQuadrants[3]);
}

TEST_F(PaintTest, ResizedPictureStretchesToItsNewSize) {
  form.Ctl(2).SetWidth(T(80));
  form.Ctl(2).SetHeight(T(20));
  const Capture c = Shot();
  EXPECT_EQ(c.At(179, 101), kRed);
  EXPECT_EQ(c.At(179, 119), kRed);
  EXPECT_EQ(c.At(150, 125), kBlue);  // A no longer reaches down there
}

// A picture over the whole window hides the window's colour, its background
// picture and every control listed after it; what is listed before it stays
// in front.
TEST_F(PaintTest, PictureOverTheWholeWindowHidesAllBehindIt) {
  CoverWithPictureA();
  const Capture c = Shot();
  for (const auto& [x, y] : {std::pair{0, 0}, {299, 199}, {190, 170}, {11, 151}, {220, 20}, {250, 50}, {10, 60},
                             {250, 104}})
    EXPECT_EQ(c.At(x, y), kRed) << x << "," << y;
  EXPECT_GT(c.Count(kOrange, 90, 95, 190, 125), 40);
  // Red everywhere outside that label.
  EXPECT_EQ(c.Count(kRed) - c.Count(kRed, 90, 95, 190, 125), 300 * 200 - 100 * 30);
}

// What a picture in front hides whole is not kept decoded (the welcome
// screen's background bitmap lies under its full-screen picture); once
// shown again it is decoded again from the definition's bytes.
TEST_F(PaintTest, PictureHiddenWholeIsLetGoOfAndDecodedAgainWhenItShows) {
  rt::win32::NativeWindow& w = *rt::win32::Win32Backend::Native(form);
  const rt::win32::DibPicture& b = w.For(form.Ctl(3))->picture;
  Shot();
  EXPECT_TRUE(w.background.Held());
  EXPECT_TRUE(b.Held());
  CoverWithPictureA();
  EXPECT_EQ(Shot().At(0, 0), kRed);
  EXPECT_FALSE(w.background.Held());
  EXPECT_FALSE(b.Held());
  EXPECT_TRUE(w.For(form.Ctl(2))->picture.Held());  // in front
  form.Ctl(2).SetWidth(T(20));
  form.Ctl(2).SetHeight(T(20));
  const Capture c = Shot();
  EXPECT_EQ(c.At(0, 29), kGreen);
  EXPECT_EQ(c.At(190, 170), kBlue);
  EXPECT_TRUE(w.background.Held());
  EXPECT_TRUE(b.Held());
}

TEST_F(PaintTest, ChangesRepaintTheWindow) {
  form.Show();
  Pump();
  RECT update;
  EXPECT_FALSE(GetUpdateRect(Hwnd(form), &update, FALSE));
  form.Ctl(5).SetCaption("neu");
  EXPECT_TRUE(GetUpdateRect(Hwnd(form), &update, FALSE));
  Pump();
  EXPECT_FALSE(GetUpdateRect(Hwnd(form), &update, FALSE));
}

// What reaches the screen, buttons and all: the on-screen pixels agree with
// the client area's painting.
TEST_F(PaintTest, ScreenShowsThePaintedClientArea) {
  form.Show();
  SetWindowPos(Hwnd(form), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  UpdateWindow(Hwnd(form));
  Pump();
  POINT origin{0, 0};
  ClientToScreen(Hwnd(form), &origin);
  HDC screen = GetDC(nullptr);
  const COLORREF bg = GetPixel(screen, origin.x + 5, origin.y + 5);
  const COLORREF blue = GetPixel(screen, origin.x + 290, origin.y + 190);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(bg, RGB(kGreen.r, kGreen.g, kGreen.b));
  EXPECT_EQ(blue, RGB(0, 0, 64));
}

// The client area's pixels as the screen shows them, row by row.
std::vector<Rgb> OnScreen(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  std::vector<Rgb> pixels;
  const auto* p = static_cast<const std::uint8_t*>(bits);
  for (int i = 0; i < r.right * r.bottom; ++i, p += 4) pixels.push_back({p[2], p[1], p[0]});
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The labels are windows of their own over the client area; on the screen
// they show exactly what the window paints, every pixel, also after a text
// changed.
TEST_F(PaintTest, LabelWindowsShowTheWindowsOwnPainting) {
  form.Show();
  const HWND h = Hwnd(form);
  SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // As built, after two texts, with the picture under the first label
  // shrunk, then with that picture grown over the whole window.
  for (int step = 0; step < 5; ++step) {
    if (step == 1) form.Ctl(1).SetCaption("ganz   anders, und l\xE4nger als zuvor");
    if (step == 2) form.Ctl(1).SetCaption("kurz");
    if (step == 3) form.Ctl(2).SetWidth(T(20));
    if (step == 4) CoverWithPictureA();
    UpdateWindow(h);
    Pump();
    const Capture painted = Shot();
    const std::vector<Rgb> shown = OnScreen(h);
    int differ = 0;
    for (int y = 0; y < painted.Height(); ++y)
      for (int x = 0; x < painted.Width(); ++x)
        if (shown[static_cast<std::size_t>(y * painted.Width() + x)] != painted.At(x, y)) ++differ;
    EXPECT_EQ(differ, 0) << "step " << step;
    EXPECT_GT(painted.Count(kOrange, 90, 95, 190, 125), 10);
  }
}

}  // namespace
