// The Win32 backend's windows: frames and placement, the full-screen
// windows, icons, buttons (captions, default look, stacking, visibility),
// tooltips and the keyboard focus.
#include <gtest/gtest.h>

#include "tests/win32/support.h"

namespace {

using namespace win32_test;
using rt::ControlKind;

const std::vector<std::uint8_t> kIcon = SolidIco({200, 30, 40});

const rt::ControlDef kDialogControls[] = {
    {.id = 1, .name = "Later", .kind = ControlKind::kButton, .left = 300, .top = 600, .width = 1200, .height = 375,
     .caption = "&Nein", .tab_index = 1, .cancel = rt::True},
    {.id = 2, .name = "Ok", .kind = ControlKind::kButton, .left = 1500, .top = 600, .width = 1200, .height = 375,
     .caption = "&Schlie\xDF" "en", .tab_index = 0, .is_default = rt::True,
     .tooltip = "Viel Spa\xDF beim Spielen!"},
    {.id = 3, .name = "Hidden", .kind = ControlKind::kButton, .left = 900, .top = 600, .width = 1200, .height = 375,
     .caption = "&OK", .tab_index = 2, .visible = rt::False},
};
const rt::WindowDef kDialog{.name = "frmDialog", .caption = "Gr\xFC\xDF" "e aus M\xFCnchen", .back_color = {{0x400000}},
                            .icon = {rt::IconKind::kPicture, kIcon}, .client_left = 1500, .client_top = 1200,
                            .client_width = 4200, .client_height = 1500, .controls = kDialogControls};
const rt::WindowDef kNoIcon{.name = "frmNoIcon", .caption = "Ohne", .icon = {rt::IconKind::kNone, {}},
                            .client_left = 600, .client_top = 600, .client_width = 3000, .client_height = 1500};
const rt::WindowDef kStandard{.name = "frmStandard", .caption = "Standard", .client_left = 600, .client_top = 600,
                              .client_width = 3000, .client_height = 1500};
const rt::ControlDef kFullControls[] = {
    {.id = 1, .name = "End", .kind = ControlKind::kButton, .left = 600, .top = 600, .width = 1215, .height = 375,
     .caption = "&Ende", .is_default = rt::True},
};
const rt::WindowDef kFull{.name = "frmFull", .caption = "Range", .window_state = rt::kWindowStateMaximized,
                          .icon = {rt::IconKind::kNone, {}}, .client_left = 2445, .client_top = 3000,
                          .client_width = 8325, .client_height = 7095, .controls = kFullControls};

const std::vector<std::uint8_t> kGreenBmp = SolidBmp(8, 8, {0, 200, 0});
const rt::ControlDef kPictureControls[] = {
    {.id = 1, .name = "Picture", .kind = ControlKind::kImage, .left = 0, .top = 0, .width = 1500, .height = 1500,
     .picture = kGreenBmp, .stretch = rt::True},
};
const rt::WindowDef kPictured{.name = "frmPictured", .caption = "Bild", .window_state = rt::kWindowStateMaximized,
                              .icon = {rt::IconKind::kNone, {}}, .client_left = 0, .client_top = 0,
                              .client_width = 3000, .client_height = 3000, .controls = kPictureControls};

using Dialog = TestForm<kDialog>;
using NoIcon = TestForm<kNoIcon>;
using Standard = TestForm<kStandard>;
using Full = TestForm<kFull>;
using Pictured = TestForm<kPictured>;

using WindowsTest = BackendTest;

RECT WindowRect(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return r;
}

TEST_F(WindowsTest, DialogClientAreaIsTheDefinitionsAndTheFrameSitsAtLeftTop) {
  Dialog& d = Window<Dialog>();
  d.Load();
  const HWND h = Hwnd(d);
  ASSERT_NE(h, nullptr);
  RECT client;
  GetClientRect(h, &client);
  EXPECT_EQ(client.right, 4200 / 15);
  EXPECT_EQ(client.bottom, 1500 / 15);
  const RECT outer = WindowRect(h);
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 80);
  // Frame() is exactly what lies between the outer frame and the client area.
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  const rt::FrameInsets f = backend.Frame(d);
  EXPECT_EQ(origin.x - outer.left, f.left);
  EXPECT_EQ(origin.y - outer.top, f.top);
  EXPECT_EQ(outer.right - (origin.x + client.right), f.right);
  EXPECT_EQ(outer.bottom - (origin.y + client.bottom), f.bottom);
  EXPECT_GT(f.top, f.bottom);  // the caption
  EXPECT_FLOAT_EQ(d.Width(), static_cast<float>((outer.right - outer.left) * 15));
}

TEST_F(WindowsTest, DialogHasAFixedFrameWithCaptionAndCloseButtonOnly) {
  Dialog& d = Window<Dialog>();
  d.Load();
  const LONG style = GetWindowLongW(Hwnd(d), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_VISIBLE);  // created hidden
  wchar_t title[64] = {};
  GetWindowTextW(Hwnd(d), title, 64);
  EXPECT_STREQ(title, L"Gr\u00FC\u00DF" L"e aus M\u00FCnchen");
}

TEST_F(WindowsTest, MovingThroughTheCoreMovesTheOuterFrame) {
  Dialog& d = Window<Dialog>();
  d.SetLeft(3000);
  d.SetTop(4500);
  const RECT outer = WindowRect(Hwnd(d));
  EXPECT_EQ(outer.left, 200);
  EXPECT_EQ(outer.top, 300);
  RECT client;
  GetClientRect(Hwnd(d), &client);
  EXPECT_EQ(client.right, 280);
}

TEST_F(WindowsTest, MaximizedWindowIsABorderlessPopupCoveringTheScreen) {
  Full& f = Window<Full>();
  f.Load();
  const HWND h = Hwnd(f);
  EXPECT_TRUE(GetWindowLongW(h, GWL_STYLE) & WS_POPUP);
  EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & WS_CAPTION);
  const RECT outer = WindowRect(h);
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);
  EXPECT_EQ(outer.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(outer.bottom, GetSystemMetrics(SM_CYSCREEN));
  RECT client;
  GetClientRect(h, &client);
  EXPECT_EQ(client.right, outer.right);
  EXPECT_EQ(client.bottom, outer.bottom);
  const rt::FrameInsets fr = backend.Frame(f);
  EXPECT_EQ(fr.left + fr.top + fr.right + fr.bottom, 0);
  // Moving a maximized window leaves it covering the screen.
  f.SetLeft(1500);
  EXPECT_EQ(WindowRect(h).left, 0);
}

// The pictures of a window that another, shown in front, hides whole are let
// go of (under wine the closing screen comes while the welcome screen still
// lives); a dialog over part of it leaves them. Painted again, they are
// decoded again.
TEST_F(WindowsTest, WindowHiddenWholeByOneShownInFrontLetsGoOfItsPictures) {
  Pictured& under = Window<Pictured>();
  under.Show();
  Pump();
  const rt::win32::DibPicture& picture = rt::win32::Win32Backend::Native(under)->controls[0]->picture;
  EXPECT_TRUE(picture.Held());
  Window<Dialog>().Show();
  Pump();
  EXPECT_TRUE(picture.Held());
  Full& front = Window<Full>();
  front.Show();
  Pump();
  EXPECT_FALSE(picture.Held());
  front.Unload();
  Pump();
  EXPECT_EQ(Capture(Hwnd(under)).At(5, 5), (Rgb{0, 200, 0}));
  EXPECT_TRUE(picture.Held());
}

TEST_F(WindowsTest, ButtonAtTheScreensCornerStaysOnTheScreen) {
  Full& f = Window<Full>();
  f.Load();
  const rt::Single sw = runtime.Screen().Width(), sh = runtime.Screen().Height();
  f.Ctl(1).SetTop(sh - 375 - 30 * 15);
  f.Ctl(1).SetLeft(sw - 1215 - 30 * 15);
  RECT b = WindowRect(Button(f, 1));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) - b.right, 30);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - b.bottom, 30);
}

TEST_F(WindowsTest, WindowWithoutIconHasNoneAnywhere) {
  NoIcon& n = Window<NoIcon>();
  n.Load();
  const HWND h = Hwnd(n);
  EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_SMALL2, 0), 0);
  EXPECT_EQ(GetClassLongPtrW(h, GCLP_HICON), 0u);
  EXPECT_EQ(GetClassLongPtrW(h, GCLP_HICONSM), 0u);
  // The dialog frame keeps the caption from drawing a default icon.
  EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  Full& f = Window<Full>();
  f.Load();
  EXPECT_EQ(SendMessageW(Hwnd(f), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(SendMessageW(Hwnd(f), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(WindowsTest, StandardIconIsTheSystemsApplicationIcon) {
  Standard& s = Window<Standard>();
  s.Load();
  const auto big = reinterpret_cast<HICON>(SendMessageW(Hwnd(s), WM_GETICON, ICON_BIG, 0));
  ASSERT_NE(big, nullptr);
  const HICON app = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                  GetSystemMetrics(SM_CYICON), LR_SHARED));
  EXPECT_EQ(big, app);
  EXPECT_FALSE(GetWindowLongW(Hwnd(s), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
}

// The icon's colour: the window's icon is made from the definition's bytes.
TEST_F(WindowsTest, PictureIconIsMadeFromTheIconFile) {
  Dialog& d = Window<Dialog>();
  d.Load();
  const auto big = reinterpret_cast<HICON>(SendMessageW(Hwnd(d), WM_GETICON, ICON_BIG, 0));
  const auto little = reinterpret_cast<HICON>(SendMessageW(Hwnd(d), WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(little, nullptr);
  EXPECT_EQ(IconCentre(big).first, (Rgb{200, 30, 40}));
  EXPECT_EQ(IconCentre(big).second, GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(IconCentre(little).first, (Rgb{200, 30, 40}));
  EXPECT_EQ(IconCentre(little).second, GetSystemMetrics(SM_CXSMICON));
}

TEST_F(WindowsTest, IconFileImageNearestTheSizeIsChosen) {
  const std::vector<std::uint8_t> ico = MakeIco({{16, {255, 0, 0}}, {32, {0, 0, 255}}, {48, {0, 255, 0}}});
  struct {
    int size;
    Rgb expected;
  } cases[] = {{16, {255, 0, 0}}, {32, {0, 0, 255}}, {24, {0, 0, 255}}, {48, {0, 255, 0}}, {64, {0, 255, 0}}};
  for (const auto& c : cases) {
    HICON icon = rt::win32::IconFromIcoFile(ico, c.size);
    ASSERT_NE(icon, nullptr) << c.size;
    EXPECT_EQ(IconCentre(icon).first, c.expected) << c.size;
    EXPECT_EQ(IconCentre(icon).second, c.size);
    DestroyIcon(icon);
  }
  // A directory that points past the end of the file gives no icon.
  EXPECT_EQ(rt::win32::IconFromIcoFile(std::span<const std::uint8_t>(ico).first(60), 32), nullptr);
  EXPECT_EQ(rt::win32::IconFromIcoFile(std::span<const std::uint8_t>(ico).first(4), 32), nullptr);
}

TEST_F(WindowsTest, ButtonsAreNativeWithTheirCaptionsRectanglesAndDefaultLook) {
  Dialog& d = Window<Dialog>();
  d.Load();
  const HWND ok = Button(d, 2), later = Button(d, 1), hidden = Button(d, 3);
  ASSERT_TRUE(ok && later && hidden);
  wchar_t text[64] = {};
  GetWindowTextW(ok, text, 64);
  EXPECT_STREQ(text, L"&Schlie\u00DF" L"en");
  RECT r;
  GetWindowRect(ok, &r);
  MapWindowPoints(nullptr, Hwnd(d), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 80);
  EXPECT_EQ(r.bottom - r.top, 25);
  EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(later, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_TRUE(GetWindowLongW(ok, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongW(hidden, GWL_STYLE) & WS_VISIBLE);
  // The font is the standard one, not the system's.
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(ok, WM_GETFONT, 0, 0)), backend.Fonts().Font(rt::kStandardFont));
}

// Before the window is shown too: IsWindowVisible says false for every child
// of a hidden window, so only the button's own flag tells.
TEST_F(WindowsTest, VisibilityChangesReachButtonsOfAHiddenWindow) {
  Dialog& d = Window<Dialog>();
  d.Load();
  d.Ctl(1).SetVisible(rt::False);
  d.Ctl(3).SetVisible(rt::True);
  EXPECT_FALSE(GetWindowLongW(Button(d, 1), GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongW(Button(d, 3), GWL_STYLE) & WS_VISIBLE);
  d.Ctl(2).SetCaption("&Gut");
  wchar_t text[64] = {};
  GetWindowTextW(Button(d, 2), text, 64);
  EXPECT_STREQ(text, L"&Gut");
  d.Ctl(2).SetLeft(30);
  RECT r;
  GetWindowRect(Button(d, 2), &r);
  MapWindowPoints(nullptr, Hwnd(d), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 2);
}

TEST_F(WindowsTest, EarlierButtonLiesInFront) {
  Dialog& d = Window<Dialog>();
  d.Load();
  d.Ctl(3).SetVisible(rt::True);  // overlaps both others
  d.Show();
  // Where "Hidden" (listed third) overlaps "Later" (first), "Later" is hit.
  POINT overlap{70, 50};
  EXPECT_EQ(ChildWindowFromPointEx(Hwnd(d), overlap, CWP_SKIPINVISIBLE), Button(d, 1));
  POINT overlap2{110, 50};
  EXPECT_EQ(ChildWindowFromPointEx(Hwnd(d), overlap2, CWP_SKIPINVISIBLE), Button(d, 2));
}

TEST_F(WindowsTest, TooltipCarriesTheTextInItsOwnCodePage) {
  Dialog& d = Window<Dialog>();
  d.Load();
  const rt::win32::NativeWindow* w = rt::win32::Win32Backend::Native(d);
  ASSERT_NE(w->tooltip, nullptr);
  EXPECT_EQ(GetWindow(w->tooltip, GW_OWNER), Hwnd(d));
  EXPECT_EQ(SendMessageW(w->tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[80] = {};
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = Hwnd(d);
  ti.uId = reinterpret_cast<UINT_PTR>(Button(d, 2));
  ti.lpszText = text;
  SendMessageW(w->tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(text, L"Viel Spa\u00DF beim Spielen!");
  NoIcon& n = Window<NoIcon>();
  n.Load();
  EXPECT_EQ(rt::win32::Win32Backend::Native(n)->tooltip, nullptr);
}

TEST_F(WindowsTest, FocusAndDefaultLookFollowTheCoresFocus) {
  Dialog& d = Window<Dialog>();
  d.Show();
  Pump();
  EXPECT_EQ(GetActiveWindow(), Hwnd(d));
  EXPECT_EQ(GetFocus(), Button(d, 2));  // first in tab order
  // Tab, as the loop hands it on: the core moves the focus, the look follows.
  MSG tab{Button(d, 2), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  backend.Handle(tab);
  EXPECT_EQ(d.Focused(), &d.Ctl(1));
  EXPECT_EQ(GetFocus(), Button(d, 1));
  EXPECT_EQ(GetWindowLongW(Button(d, 1), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(Button(d, 2), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(WindowsTest, OwnerIsSetWhenShownWithOne) {
  Dialog& d = Window<Dialog>();
  NoIcon& n = Window<NoIcon>();
  d.Show();
  n.Load();
  EXPECT_EQ(GetWindow(Hwnd(n), GW_OWNER), nullptr);
  n.Show(0, &d);
  EXPECT_EQ(GetWindow(Hwnd(n), GW_OWNER), Hwnd(d));
  EXPECT_TRUE(IsWindowVisible(Hwnd(n)));
}

// The click's handler runs inside the modal loop: it sees the other window
// disabled, and unloads its own window from inside its own button's click.
// A user's click, once a press would reach the dialog: asked of the core
// from a timer, so that the double-click time counts from the show itself.
struct ClickWhenTaken {
  rt::Runtime* runtime;
  rt::Form* window;
  HWND button;
} g_click_when_taken;
void CALLBACK ClickOnceTaken(HWND, UINT, UINT_PTR timer, DWORD) {
  const ClickWhenTaken& c = g_click_when_taken;
  if (!IsWindowVisible(rt::win32::Win32Backend::Handle(*c.window)) ||
      !c.runtime->TakesPressAt(*c.window, c.runtime->Now()))
    return;
  KillTimer(nullptr, timer);
  PostMessageW(c.button, BM_CLICK, 0, 0);
}

TEST_F(WindowsTest, ModalWindowDisablesTheOthersAndItsOwnClickMayUnloadIt) {
  Standard& s = Window<Standard>();
  Dialog& d = Window<Dialog>();
  s.Show();
  d.Load();
  bool checked = false;
  d.on_click = [&](std::uint8_t) {
    EXPECT_FALSE(IsWindowEnabled(Hwnd(s)));
    EXPECT_TRUE(IsWindowEnabled(Hwnd(d)));
    checked = true;
    d.Unload();
  };
  const HWND dialog = Hwnd(d);
  g_click_when_taken = {&runtime, &d, Button(d, 2)};
  ASSERT_NE(SetTimer(nullptr, 0, 20, &ClickOnceTaken), 0u);
  d.Show(1);
  EXPECT_TRUE(checked);
  EXPECT_FALSE(d.IsLoaded());
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(Hwnd(s)));
  EXPECT_EQ(d.clicks, (std::vector<std::uint8_t>{2}));
}

}  // namespace
