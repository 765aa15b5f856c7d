// Raw input from the Win32 backend to the core: the keys the message loop
// routes (and keeps from the buttons and the dialog manager), clicks, close
// requests and user moves; the hourglass; and the event loop's waiting.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/win32/support.h"

namespace {

using namespace win32_test;
using rt::ControlKind;
using rt::Key;

const rt::ControlDef kControls[] = {
    {.id = 1, .name = "Yes", .kind = ControlKind::kButton, .left = 300, .top = 300, .width = 1200, .height = 375,
     .caption = "&Ja", .tab_index = 0, .is_default = rt::True},
    {.id = 2, .name = "No", .kind = ControlKind::kButton, .left = 1800, .top = 300, .width = 1200, .height = 375,
     .caption = "&Nein", .tab_index = 1, .cancel = rt::True},
};
const rt::WindowDef kDef{.name = "frmInput", .caption = "Eingabe", .client_left = 1500, .client_top = 1500,
                         .client_width = 4500, .client_height = 1500, .controls = kControls};
using InputForm = TestForm<kDef>;

struct InputTest : BackendTest {
  RecordingSink sink;
  InputForm& form = Window<InputForm>();
  rt::InputSink* core = nullptr;
  void SetUp() override {
    form.Show();
    Pump();
    core = backend.Sink();
    backend.SetInputSink(sink);  // from here on raw input is only recorded
  }
  void TearDown() override { backend.SetInputSink(*core); }
  MSG Msg(UINT message, WPARAM wparam, HWND to = nullptr) {
    return MSG{to ? to : Button(form, 1), message, wparam, 0, 0, {}};
  }
  std::vector<RecordingSink::Event> Keys() const {
    std::vector<RecordingSink::Event> keys;
    for (const auto& e : sink.events)
      if (e.what == "key") keys.push_back(e);
    return keys;
  }
};

TEST_F(InputTest, DialogKeysGoToTheCoreForTheirWindow) {
  const struct {
    WPARAM vk;
    Key key;
  } cases[] = {{VK_RETURN, Key::kEnter}, {VK_ESCAPE, Key::kEscape}, {VK_TAB, Key::kTab}, {VK_SPACE, Key::kSpace}};
  for (const auto& c : cases) {
    sink.events.clear();
    backend.Handle(Msg(WM_KEYDOWN, c.vk));
    ASSERT_EQ(Keys().size(), 1u) << c.vk;
    EXPECT_EQ(Keys()[0].key.key, c.key);
    EXPECT_EQ(Keys()[0].window, &form);
  }
}

TEST_F(InputTest, ShiftTabIsBackTab) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  backend.Handle(Msg(WM_KEYDOWN, VK_TAB));
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  ASSERT_EQ(Keys().size(), 1u);
  EXPECT_EQ(Keys()[0].key.key, Key::kBackTab);
}

TEST_F(InputTest, TypedCharactersGoToTheCoreInWindows1252WithTheirAlt) {
  backend.Handle(Msg(WM_CHAR, L'j'));
  backend.Handle(Msg(WM_SYSCHAR, L'N'));
  backend.Handle(Msg(WM_CHAR, 0x00F6));  // ö
  backend.Handle(Msg(WM_CHAR, 0x20AC));  // € is 0x80 in Windows-1252
  const auto keys = Keys();
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[0].key.key, Key::kChar);
  EXPECT_EQ(keys[0].key.ch, 'j');
  EXPECT_FALSE(keys[0].key.alt);
  EXPECT_EQ(keys[1].key.ch, 'N');
  EXPECT_TRUE(keys[1].key.alt);
  EXPECT_EQ(keys[2].key.ch, '\xF6');
  EXPECT_EQ(keys[3].key.ch, '\x80');
}

TEST_F(InputTest, CharactersWithoutAWindows1252FormAndControlCharactersPressNothing) {
  backend.Handle(Msg(WM_CHAR, 0x0416));  // Cyrillic Zhe
  backend.Handle(Msg(WM_CHAR, 0x01));    // Ctrl+A
  EXPECT_TRUE(sink.events.empty());
}

TEST_F(InputTest, SpaceDoesNotClickTheButtonItself) {
  // A button clicks on the key-up of Space; neither half reaches it.
  backend.Handle(Msg(WM_KEYDOWN, VK_SPACE));
  backend.Handle(Msg(WM_KEYUP, VK_SPACE));
  Pump();
  ASSERT_EQ(sink.events.size(), 1u);
  EXPECT_EQ(sink.events[0].key.key, Key::kSpace);
}

TEST_F(InputTest, HeldKeysPressOnceButTabRepeats) {
  constexpr LPARAM kRepeat = 1L << 30;
  for (WPARAM vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB}) {
    MSG m = Msg(WM_KEYDOWN, vk);
    backend.Handle(m);
    m.lParam = kRepeat;
    backend.Handle(m);
    backend.Handle(m);
  }
  MSG ch = Msg(WM_SYSCHAR, L'j');
  backend.Handle(ch);
  ch.lParam = kRepeat;
  backend.Handle(ch);
  const auto keys = Keys();
  ASSERT_EQ(keys.size(), 1u + 1u + 1u + 3u + 1u);
  EXPECT_EQ(keys[0].key.key, Key::kEnter);
  EXPECT_EQ(keys[1].key.key, Key::kEscape);
  EXPECT_EQ(keys[2].key.key, Key::kSpace);
  EXPECT_EQ(keys[3].key.key, Key::kTab);
  EXPECT_EQ(keys[5].key.key, Key::kTab);
  EXPECT_EQ(keys[6].key.ch, 'j');
}

TEST_F(InputTest, OtherKeysAndAltSpaceStayTheSystems) {
  backend.Handle(Msg(WM_KEYDOWN, 'J'));
  backend.Handle(Msg(WM_SYSCHAR, L' '));
  backend.Handle(Msg(WM_KEYDOWN, VK_F1));
  EXPECT_TRUE(sink.events.empty());
}

TEST_F(InputTest, KeysOfOtherWindowsAreNotTheCores) {
  HWND other = CreateWindowExW(0, L"STATIC", L"fremd", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  backend.Handle(Msg(WM_KEYDOWN, VK_RETURN, other));
  backend.Handle(Msg(WM_CHAR, L'j', other));
  DestroyWindow(other);
  EXPECT_TRUE(sink.events.empty());
}

TEST_F(InputTest, ButtonClickReachesTheCore) {
  SendMessageW(Button(form, 2), BM_CLICK, 0, 0);
  ASSERT_EQ(sink.events.size(), 1u);
  EXPECT_EQ(sink.events[0].what, "click");
  EXPECT_EQ(sink.events[0].control, &form.Ctl(2));
  EXPECT_TRUE(form.clicks.empty());  // the core alone dispatches
}

// A button clicks on release; the core is told when it went down, taken
// from the press message's own time.
TEST_F(InputTest, AClickCarriesTheTimeItsButtonWentDown) {
  const HWND no = Button(form, 2);
  const DWORD now = GetTickCount();
  backend.Handle(MSG{no, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), now - 300, {}});
  const rt::Time released = backend.Now();
  backend.Handle(MSG{no, WM_LBUTTONUP, 0, MAKELPARAM(5, 5), now, {}});
  ASSERT_EQ(sink.events.size(), 1u);
  EXPECT_EQ(sink.events[0].control, &form.Ctl(2));
  const std::int64_t before_release = released.micros - sink.events[0].pressed.micros;
  EXPECT_GE(before_release, 250'000);
  EXPECT_LE(before_release, 400'000);
  // A click that no press of ours went before counts from now.
  SendMessageW(no, BM_CLICK, 0, 0);
  ASSERT_EQ(sink.events.size(), 2u);
  EXPECT_GE(sink.events[1].pressed.micros, released.micros);
}

// Through the real core: a window's buttons take no click within the
// system's double-click time after it was shown.
TEST_F(InputTest, NoClickSoonAfterTheWindowWasShown) {
  backend.SetInputSink(*core);
  form.Unload();
  form.Show();
  Pump();
  SendMessageW(Button(form, 2), BM_CLICK, 0, 0);
  EXPECT_TRUE(form.clicks.empty());
  Sleep(GetDoubleClickTime() + 50);
  SendMessageW(Button(form, 2), BM_CLICK, 0, 0);
  EXPECT_EQ(form.clicks, (std::vector<std::uint8_t>{2}));
}

TEST_F(InputTest, CloseRequestsGoToTheCoreAndTheWindowStays) {
  SendMessageW(Hwnd(form), WM_CLOSE, 0, 0);
  SendMessageW(Hwnd(form), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(sink.events.size(), 2u);
  EXPECT_EQ(sink.events[0].what, "close");
  EXPECT_EQ(sink.events[1].what, "close");
  EXPECT_TRUE(IsWindow(Hwnd(form)));
  EXPECT_TRUE(form.IsLoaded());
}

TEST_F(InputTest, UserMovesAreReportedAndTheCoresOwnAreNot) {
  form.SetLeft(3000);  // the core's own move
  EXPECT_TRUE(sink.events.empty());
  SetWindowPos(Hwnd(form), nullptr, 321, 123, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(sink.events.size(), 1u);
  EXPECT_EQ(sink.events[0].what, "move");
  EXPECT_EQ(sink.events[0].x, 321);
  EXPECT_EQ(sink.events[0].y, 123);
}

TEST_F(InputTest, HourglassOverEveryPartOfTheProgramsWindows) {
  const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT), arrow = LoadCursorW(nullptr, IDC_ARROW);
  backend.SetPointer(rt::kPointerHourglass);
  SetCursor(arrow);
  SendMessageW(Hwnd(form), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd(form)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), wait);
  SetCursor(arrow);
  // A button asks its window first.
  SendMessageW(Button(form, 1), WM_SETCURSOR, reinterpret_cast<WPARAM>(Button(form, 1)),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), wait);
  backend.SetPointer(rt::kPointerDefault);
  SendMessageW(Hwnd(form), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd(form)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(InputTest, PollingHandlesWhatIsQueuedAtOnce) {
  PostMessageW(Hwnd(form), WM_CLOSE, 0, 0);
  const auto start = std::chrono::steady_clock::now();
  backend.ProcessPendingEvents();
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(sink.events.size(), 1u);
  EXPECT_EQ(sink.events[0].what, "close");
  EXPECT_LT(took, std::chrono::milliseconds(100));
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// A busy loop of polls sleeps each time: it does not spin, wakes no more
// than 40 times a second, and sees its deadline at most 50 ms late.
TEST_F(InputTest, PollingWithNothingQueuedSleepsUpToTheIdleWait) {
  Pump();
  constexpr int kPolls = 20;
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = CpuSeconds();
  for (int i = 0; i < kPolls; ++i) backend.ProcessPendingEvents();
  const auto took = std::chrono::steady_clock::now() - start;
  const double cpu = CpuSeconds() - cpu_start;
  // Loose bounds around the 30 ms wait, for a loaded machine and a stray
  // message: still far from a 10 ms pass and from a wait that overshoots.
  EXPECT_GE(took, std::chrono::milliseconds(kPolls * 15));
  EXPECT_LT(took, std::chrono::milliseconds(kPolls * 80));
  EXPECT_LT(cpu, 0.5 * std::chrono::duration<double>(took).count());
}

TEST_F(InputTest, WaitingReturnsOnceAMessageWasHandled) {
  PostMessageW(Hwnd(form), WM_CLOSE, 0, 0);
  backend.WaitEvents();
  ASSERT_EQ(sink.events.size(), 1u);
}

// Through the real core: Enter presses the focused button, whose handler
// unloads the window while the key is being handled.
TEST_F(InputTest, EnterThroughTheCoreMayUnloadTheWindow) {
  backend.SetInputSink(*core);
  form.on_click = [&](std::uint8_t) { form.Unload(); };
  const HWND h = Hwnd(form);
  backend.Handle(Msg(WM_KEYDOWN, VK_RETURN));
  EXPECT_EQ(form.clicks, (std::vector<std::uint8_t>{1}));
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(backend.WindowOf(h), nullptr);
}

}  // namespace
