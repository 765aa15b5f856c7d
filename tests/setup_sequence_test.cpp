// The whole setup on the headless backend: the scenarios a user can take,
// the dialog position, the wait after the Acrobat Reader setup, and the
// command lines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "forms/look.h"
#include "forms/texts.h"
#include "program_fixture.h"
#include "runtime/start_result.h"
#include "runtime/text_layout.h"
#include "runtime/vbmath.h"
#include "tests/sequence/walks.h"

namespace {

using rt::False;
using rt::True;
using rt::headless::HeadlessBackend;
using testing_support::AcceptEverything;
using testing_support::DeclineEverything;
using testing_support::kSecond;
using testing_support::Program;

std::vector<std::string> Started(const HeadlessBackend& b) {
  std::vector<std::string> out;
  for (const auto& s : b.Starts()) {
    EXPECT_EQ(s.show_mode, 3);
    out.push_back(s.command_line);
  }
  return out;
}

using Lines = std::vector<std::string>;

const std::string kManual =
    std::string(77, ' ') +
    "Um sich das elektronische Handbuch anzuschauen, klicken Sie bitte die MANUAL.PDF Datei auf Ihrer CD doppelt";
const std::string kGame = std::string(97, ' ') + "M\xF6" "chten Sie das Spiel installieren?";
const std::string kSound = "  Vor dem Spielen konfigurieren Sie bitte" + std::string(13, ' ') +
                           "erst den Sound mit der CONFIG.EXE," + std::string(16, ' ') +
                           "die Sie im Spiele-Ordner Ihrer Festplatte" + std::string(11, ' ') + "finden k\xF6nnen.";

TEST(SetupSequence, AcceptEverything) {
  Program p;
  const int wait = walks::WaitSeconds();
  std::vector<std::string> seen;
  std::vector<std::size_t> lengths;  // every blank of the texts counts
  walks::Script(p.backend, "accept", [&](const walks::Step& s, HeadlessBackend& b) {
    if (s.form == "frmAcrobat") {
      // After the full wait, under the hourglass until then.
      ASSERT_EQ(b.Starts().size(), 1u);
      EXPECT_EQ(b.Now(), rt::AddSeconds(b.Starts()[0].at, wait));
      EXPECT_EQ(b.CurrentPointer(), 0);
      return;
    }
    rt::Form* f = b.FindWindow(s.form);
    ASSERT_NE(f, nullptr) << s.step;
    rt::Control* label = f->FindControl("Label1");
    // The notices this test knows the texts of; the rest are walked only.
    if (s.step != "manual-notice" && s.step != "game-question" && s.step != "sound-notice") return;
    ASSERT_NE(label, nullptr) << s.step;
    std::string buttons;
    for (const auto& c : f->Controls())
      if (c->IsButton() && rt::IsTrue(c->Visible())) buttons += c->ButtonText().shown + " ";
    seen.push_back(s.form + ": " + buttons + "| " + label->Caption());
    lengths.push_back(label->Caption().size());
  });
  // What those windows show: the table's window and buttons, this test's texts.
  auto expect = [](const char* step, const std::string& text) {
    const walks::Step s = walks::At("accept", step);
    std::string line = s.form + ": ";
    for (const std::string& b : s.buttons) line += walks::Shown(b) + " ";
    return line + "| " + text;
  };
  EXPECT_EQ(p.RunLauncher(), 0);
  EXPECT_EQ(Started(p.backend), (Lines{"D:\\Acrobat\\Setup.exe", "D:\\Data\\Subset.exe"}));
  ASSERT_EQ(p.backend.Pointers().size(), 2u);
  EXPECT_EQ(p.backend.Pointers()[0].pointer, 11);
  EXPECT_EQ(p.backend.Pointers()[0].at, p.backend.Starts()[0].at);
  EXPECT_EQ(p.backend.Pointers()[1].pointer, 0);
  EXPECT_EQ(p.backend.Pointers()[1].at, rt::AddSeconds(p.backend.Starts()[0].at, wait));
  EXPECT_EQ(seen, (Lines{expect("manual-notice", kManual), expect("game-question", kGame),
                         expect("sound-notice", kSound)}));
  EXPECT_EQ(lengths, (std::vector<std::size_t>{184, 132, 170}));
  EXPECT_EQ(p.backend.StepsLeft(), 0u);
  EXPECT_FALSE(p.runtime.AnyLoaded());
}

TEST(SetupSequence, DeclineAndConfirmStartsNothingAndDoesNotWait) {
  Program p;
  DeclineEverything(p.backend);
  EXPECT_EQ(p.RunLauncher(), 0);
  EXPECT_TRUE(p.backend.Starts().empty());
  EXPECT_TRUE(p.backend.Pointers().empty());
  EXPECT_EQ(p.backend.PendingPolls(), 0);
  EXPECT_EQ(p.Main().blnAcrobat, False);
  EXPECT_EQ(p.Main().blnResult, False);
}

TEST(SetupSequence, ScenariosStartWhatWasAskedFor) {
  const struct {
    const char* what;
    std::function<void(HeadlessBackend&)> script;
    Lines started;
  } cases[] = {
      {"decline, withdraw, then accept; game no",
       [](HeadlessBackend& b) {
         b.Click("frmMsgBox", "Command1")
             .Click("frmYesNo", "Command2")
             .Click("frmMsgBox", "Command2")
             .Click("frmYesNo", "Command3")
             .Click("frmNewBox", "Command2");
         walks::Finish(b, "accept", "sound-notice");
       },
       {"D:\\Acrobat\\Setup.exe"}},
      {"decline and confirm; game yes",
       [](HeadlessBackend& b) {
         b.Click("frmMsgBox", "Command1")
             .Click("frmYesNo", "Command1")
             .Click("frmYesNo", "Command3")
             .Click("frmNewBox", "Command1");
         walks::Finish(b, "accept", "sound-notice");
       },
       {"D:\\Data\\Subset.exe"}},
      // The confirmation left blnResult True; closing the game question is a no all the same.
      {"decline and confirm; game question closed",
       [](HeadlessBackend& b) {
         b.Click("frmMsgBox", "Command1")
             .Click("frmYesNo", "Command1")
             .Click("frmYesNo", "Command3")
             .Close("frmNewBox");
         walks::Finish(b, "accept", "sound-notice");
       },
       {}},
      {"decline and confirm; game question left with Alt+F4's close after a withdrawn confirmation",
       [](HeadlessBackend& b) {
         b.Click("frmMsgBox", "Command1")
             .Click("frmYesNo", "Command2")
             .Click("frmMsgBox", "Command1")
             .Click("frmYesNo", "Command1")
             .Click("frmYesNo", "Command3")
             .Close("frmNewBox");
         walks::Finish(b, "accept", "sound-notice");
       },
       {}},
      {"accept; game question closed",
       [](HeadlessBackend& b) {
         b.Click("frmMsgBox", "Command2")
             .Click("frmYesNo", "Command3")
             .Close("frmNewBox");
         walks::Finish(b, "accept", "sound-notice");
       },
       {"D:\\Acrobat\\Setup.exe"}},
      {"offer closed; everything else closed too",
       [](HeadlessBackend& b) {
         // The offer closed takes the manual notice's way: each of the accept walk's windows.
         for (const walks::Step& s : walks::Walk("accept"))
           if (s.form != "-" && s.form != "frmAcrobat") b.Close(s.form);
       },
       {}},
  };
  for (const auto& c : cases) {
    Program p;
    c.script(p.backend);
    EXPECT_EQ(p.RunLauncher(), 0) << c.what;
    EXPECT_EQ(Started(p.backend), c.started) << c.what;
    EXPECT_EQ(p.backend.StepsLeft(), 0u) << c.what;
  }
}

TEST(SetupSequence, OneSeparatorBetweenAFolderAndTheSetupOnlyWhereItLacksOne) {
  const struct {
    const char* folder;
    char separator;
    Lines started;
  } cases[] = {
      {"D:\\SETUP", '\\', {"D:\\SETUP\\Acrobat\\Setup.exe", "D:\\SETUP\\Data\\Subset.exe"}},
      {"C:\\Program Files\\Mirelund CD", '\\',
       {"C:\\Program Files\\Mirelund CD\\Acrobat\\Setup.exe", "C:\\Program Files\\Mirelund CD\\Data\\Subset.exe"}},
      // Roots keep their command lines byte for byte.
      {"D:\\", '\\', {"D:\\Acrobat\\Setup.exe", "D:\\Data\\Subset.exe"}},
      {"\\\\server\\cd\\", '\\', {"\\\\server\\cd\\Acrobat\\Setup.exe", "\\\\server\\cd\\Data\\Subset.exe"}},
      // Linux: a copied CD, a mount point, and a folder whose name has a backslash.
      {"/home/anna/cd", '/', {"/home/anna/cd/Acrobat\\Setup.exe", "/home/anna/cd/Data\\Subset.exe"}},
      {"/media/anna/CD/", '/', {"/media/anna/CD/Acrobat\\Setup.exe", "/media/anna/CD/Data\\Subset.exe"}},
      {"/media/back\\", '/', {"/media/back\\/Acrobat\\Setup.exe", "/media/back\\/Data\\Subset.exe"}},
  };
  for (const auto& c : cases) {
    Program p;
    p.backend.SetProgramFolder(c.folder);
    p.backend.SetFolderSeparator(c.separator);
    AcceptEverything(p.backend);
    EXPECT_EQ(p.RunLauncher(), 0) << c.folder;
    EXPECT_EQ(Started(p.backend), c.started) << c.folder;
  }
}

struct Position {
  rt::Long left, top;
};

// lngLeft/lngTop as RunSetup leaves them, and where each dialog was shown.
Position PositionOn(rt::ScreenMetrics screen, rt::FrameInsets frame, std::vector<Position>* shown = nullptr) {
  Program p(screen);
  p.backend.SetDialogFrame(frame);
  auto record = [&, shown](const char* name) {
    return [&, shown, name](HeadlessBackend& b) {
      if (shown) shown->push_back({rt::CLng(b.FindWindow(name)->Left()), rt::CLng(b.FindWindow(name)->Top())});
    };
  };
  p.backend.Then(record("frmMsgBox"))
      .Click("frmMsgBox", "Command1")
      .Then(record("frmYesNo"))
      .Click("frmYesNo", "Command1")
      .Then(record("frmYesNo"))
      .Click("frmYesNo", "Command3")
      .Then(record("frmNewBox"))
      .Click("frmNewBox", "Command2");
  walks::Finish(p.backend, "accept", "sound-notice");
  EXPECT_EQ(p.RunLauncher(), 0);
  return {p.Main().lngLeft, p.Main().lngTop};
}

TEST(DialogPosition, WorkedExamples) {
  // 640 x 480 at 15: Image2 3753.51 wide, so 2 x 360 + 3753.51 rounds to 4474;
  // with the 5655-twip offer that passes 9600, so 9600 - 150 - 5655 = 3795.
  // Height 2955: (7200 - 2955) / 2 = 2122.5 -> 2122; + 1600 = 3722; fits.
  const Position a = PositionOn({640, 480, 15, 15}, {3, 22, 3, 3});
  EXPECT_EQ(a.left, 3795);
  EXPECT_EQ(a.top, 3722);
  // A 4200-twip high offer: 1500, then 3100, then moved up to 7200 - 150 - 4200.
  const Position b = PositionOn({640, 480, 15, 15}, {3, 105, 3, 3});
  EXPECT_EQ(b.top, 2850);
}

TEST(DialogPosition, RightOfTheInsetWhereItFits) {
  // 1920 x 1080 at 15: Image2 is 3255 x 28800 / 8325 wide; 2 x 360 plus that, ties to even.
  const float w2 = static_cast<float>(3255.0 * static_cast<float>(28800.0 / 8325.0));
  const Position p = PositionOn({1920, 1080, 15, 15}, {3, 22, 3, 3});
  EXPECT_EQ(p.left, static_cast<rt::Long>(std::nearbyint(720.0 + w2)));
  EXPECT_EQ(p.top, static_cast<rt::Long>(std::nearbyint((16200.0 - 2955) / 2)) + 3600);
}

TEST(DialogPosition, EqualityAtTheEdgesIsNotCorrected) {
  // One twip per pixel makes the frame a free parameter. 12000 wide: Image2 is
  // 4691.89 wide, lngLeft 5412; an offer 6578 wide ends exactly 10 twips short.
  const Position equal = PositionOn({12000, 9000, 1, 1}, {3, 22, 1010, 3});
  EXPECT_EQ(equal.left, 5412);
  const Position over = PositionOn({12000, 9000, 1, 1}, {3, 22, 1011, 3});
  EXPECT_EQ(over.left, 12000 - 10 - 6579);
  // 9000 high: an offer 4980 high gives 2010 + 2000 = 4010, ending exactly at 9000 - 10.
  const Position equal_v = PositionOn({12000, 9000, 1, 1}, {3, 2397, 3, 3});
  EXPECT_EQ(equal_v.top, 4010);
  const Position over_v = PositionOn({12000, 9000, 1, 1}, {3, 2399, 3, 3});
  EXPECT_EQ(over_v.top, 9000 - 10 - 4982);
}

TEST(DialogPosition, EveryDialogAtTheSamePointWhateverItsSize) {
  std::vector<Position> shown;
  const Position p = PositionOn({800, 600, 15, 15}, {3, 22, 3, 3}, &shown);
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].left, p.left);
  EXPECT_EQ(shown[0].top, p.top);
  // The confirmation centres on the offer; the presenters put theirs at the point.
  EXPECT_EQ(shown[1].left, p.left + (5655 - 4215) / 2);
  EXPECT_EQ(shown[2].left, p.left);
  EXPECT_EQ(shown[2].top, p.top);
  EXPECT_EQ(shown[3].left, p.left);
  EXPECT_EQ(shown[3].top, p.top);
}

TEST(DialogPosition, ScreensSmallAndLargeAndUnevenPixels) {
  const rt::ScreenMetrics screens[] = {{320, 200, 15, 15},   {640, 480, 12, 12},  {800, 600, 15, 15},
                                       {1920, 1080, 12, 15}, {7680, 4320, 15, 15}, {1024, 768, 15, 12}};
  for (const auto& s : screens) {
    const double sw = s.width_px * static_cast<double>(s.twips_per_pixel_x);
    const double sh = s.height_px * static_cast<double>(s.twips_per_pixel_y);
    const double dw = 5565 + 6 * s.twips_per_pixel_x;
    const double dh = 2580 + 25 * s.twips_per_pixel_y;
    const Position p = PositionOn(s, {3, 22, 3, 3});
    // Never closer than 10 pixels to the right or bottom edge (within rounding).
    EXPECT_LE(p.left + dw + 10 * s.twips_per_pixel_x, sw + 0.5) << s.width_px;
    EXPECT_LE(p.top + dh + 10 * s.twips_per_pixel_y, sh + 0.5) << s.height_px;
  }
}

TEST(Wait, TheWholeWaitUnderTheHourglassWhileEventsAreHandled) {
  Program p;
  const std::int64_t wait = walks::WaitSeconds() * kSecond;
  rt::Time handled{};
  p.backend.Click("frmMsgBox", "Command2")
      .Then(
          [&](HeadlessBackend& b) {
            handled = b.Now();
            EXPECT_EQ(b.CurrentPointer(), 11);
          },
          3 * kSecond)
      .Press("frmAcrobat", testing_support::Enter(), kSecond)  // nothing to click; still handled
      .Close("frmAcrobat", kSecond)                             // ignored while the setup runs
      .Then([&](HeadlessBackend& b) {
        EXPECT_TRUE(p.Main().IsLoaded());
        EXPECT_EQ(b.Now().micros - b.Starts().at(0).at.micros, wait);
      })
      .Click("frmYesNo", "Command3")
      .Click("frmNewBox", "Command2");
  walks::Finish(p.backend, "accept", "sound-notice");
  EXPECT_EQ(p.RunLauncher(), 0);
  const rt::Time start = p.backend.Starts().at(0).at;
  EXPECT_EQ(handled.micros - start.micros, 3 * kSecond);
  EXPECT_EQ(p.backend.PendingPolls(), wait / rt::headless::kIdleStepMicros + 3);
  EXPECT_EQ(p.backend.StepsLeft(), 0u);
}

TEST(Wait, EndsTheWholeWaitAfterTheStartAcrossMidnight) {
  Program p;
  p.backend.AdvanceClock((24 * 3600 - 5) * kSecond);  // five seconds before midnight
  AcceptEverything(p.backend);
  EXPECT_EQ(p.RunLauncher(), 0);
  ASSERT_EQ(p.backend.Pointers().size(), 2u);
  EXPECT_EQ(p.backend.Pointers()[1].at.micros - p.backend.Pointers()[0].at.micros,
            walks::WaitSeconds() * kSecond);
}

}  // namespace

namespace {

TEST(InputAbuse, DoubleClicksAndRepeatedKeysAnswerEachDialogOnce) {
  // The second click of each double click, 150 ms after the first, reaches a
  // window that is gone, or one that has only just appeared.
  Program clicks;
  for (const auto& [window, button] : std::vector<std::pair<std::string, std::string>>{
           {"frmMsgBox", "Command1"}, {"frmYesNo", "Command2"}, {"frmMsgBox", "Command2"}, {"frmYesNo", "Command3"},
           {"frmNewBox", "Command1"}})
    clicks.backend.Click(window, button).Click(window, button, 150'000);
  // From the sound notice on, each window's one button.
  bool from_sound = false;
  for (const walks::Step& s : walks::Walk("accept")) {
    from_sound = from_sound || s.step == "sound-notice";
    if (!from_sound || s.form == "-") continue;
    ASSERT_EQ(s.buttons.size(), 1u) << s.step;
    clicks.backend.ClickButton(s.form, s.buttons[0]).ClickButton(s.form, s.buttons[0], 150'000);
  }
  EXPECT_EQ(clicks.RunLauncher(), 0);
  EXPECT_EQ(Started(clicks.backend), (Lines{"D:\\Acrobat\\Setup.exe", "D:\\Data\\Subset.exe"}));

  // Enter twice on each dialog: a press for a window that is gone does nothing.
  Program keys;
  for (const walks::Step& s : walks::Walk("accept"))
    if (s.form != "-" && s.form != "frmAcrobat")
      keys.backend.Press(s.form, testing_support::Enter()).Press(s.form, testing_support::Enter());
  EXPECT_EQ(keys.RunLauncher(), 0);
  EXPECT_EQ(Started(keys.backend), (Lines{"D:\\Acrobat\\Setup.exe", "D:\\Data\\Subset.exe"}));
  EXPECT_FALSE(keys.runtime.AnyLoaded());
}

}  // namespace

namespace {

// What a window shows: its visible buttons and its label.
std::string Shown(HeadlessBackend& b, const char* window) {
  rt::Form* f = b.FindWindow(window);
  if (!f) return std::string("no ") + window;
  std::string buttons;
  for (const auto& c : f->Controls())
    if (c->IsButton() && rt::IsTrue(c->Visible())) buttons += c->ButtonText().shown + " ";
  return buttons + "| " + f->FindControl("Label1")->Caption();
}

TEST(FailedStart, AcrobatSetupThatDidNotStartIsToldAndNotWaitedFor) {
  const struct {
    rt::Long result;
    std::string told;
  } cases[] = {
      {rt::kStartFileNotFound, "Das Setup-Programm Acrobat\\Setup.exe wurde nicht gefunden."},
      {rt::kStartPathNotFound, "Das Setup-Programm Acrobat\\Setup.exe wurde nicht gefunden."},
      {rt::kStartAccessDenied, "Das Setup-Programm Acrobat\\Setup.exe konnte nicht gestartet werden."},
      {rt::kStartBadFormat, "Das Setup-Programm Acrobat\\Setup.exe konnte nicht gestartet werden."},
      {rt::kStartOutOfResources, "Das Setup-Programm Acrobat\\Setup.exe konnte nicht gestartet werden."},
  };
  for (const auto& c : cases) {
    Program p;
    p.backend.SetStartResult(c.result);
    std::string notice, manual;
    rt::Time notice_at{};
    Position notice_pos{-1, -1};
    p.backend.Click("frmMsgBox", "Command2")
        .Then([&](HeadlessBackend& b) {
          notice = Shown(b, "frmNewBox");
          notice_at = b.Now();
          rt::Form* f = b.FindWindow("frmNewBox");
          if (f) notice_pos = {rt::CLng(f->Left()), rt::CLng(f->Top())};
        })
        .Click("frmNewBox", "Command3")
        .Then([&](HeadlessBackend& b) { manual = Shown(b, "frmYesNo"); })
        .Click("frmYesNo", "Command3")
        .Click("frmNewBox", "Command2");
    walks::Finish(p.backend, "accept", "sound-notice");
    EXPECT_EQ(p.RunLauncher(), 0) << c.result;
    EXPECT_EQ(notice, "OK | " + c.told);
    // Shown the moment the start failed: no hourglass, no wait.
    ASSERT_EQ(p.backend.Starts().size(), 1u);
    EXPECT_EQ(notice_at, p.backend.Starts()[0].at);
    EXPECT_TRUE(p.backend.Pointers().empty());
    EXPECT_EQ(p.backend.PendingPolls(), 0);
    EXPECT_EQ(notice_pos.left, p.Main().lngLeft);
    EXPECT_EQ(notice_pos.top, p.Main().lngTop);
    // Then the sequence goes on as before.
    EXPECT_EQ(manual, "OK | " + kManual);
    EXPECT_EQ(p.backend.StepsLeft(), 0u);
  }
}

TEST(FailedStart, GameSetupThatDidNotStartIsToldBeforeTheSoundNotice) {
  Program p;
  p.backend.SetStartResult(rt::kStartFileNotFound);
  std::vector<std::string> seen;
  std::vector<std::size_t> lengths;  // every blank of the texts counts
  auto look = [&](const char* window) { return [&, window](HeadlessBackend& b) { seen.push_back(Shown(b, window)); }; };
  p.backend.Click("frmMsgBox", "Command1")
      .Click("frmYesNo", "Command1")
      .Click("frmYesNo", "Command3")
      .Click("frmNewBox", "Command1")
      .Then(look("frmNewBox"))
      .Click("frmNewBox", "Command3")
      .Then(look("frmNewBox"));
  walks::Finish(p.backend, "accept", "sound-notice");
  EXPECT_EQ(p.RunLauncher(), 0);
  EXPECT_EQ(Started(p.backend), (Lines{"D:\\Data\\Subset.exe"}));
  EXPECT_EQ(seen, (Lines{"OK | Das Setup-Programm Data\\Subset.exe wurde nicht gefunden.", "OK | " + kSound}));
}

TEST(FailedStart, AStartTheUserCancelledAtThePromptIsAnAnswer) {
  Program p;
  p.backend.SetStartResult(rt::kStartCancelled);
  std::string next;
  p.backend.Click("frmMsgBox", "Command2")
      .Then([&](HeadlessBackend& b) { next = Shown(b, "frmYesNo") + (b.FindWindow("frmNewBox") ? " + notice" : ""); })
      .Click("frmYesNo", "Command3")
      .Click("frmNewBox", "Command1");
  walks::Finish(p.backend, "accept", "sound-notice");
  EXPECT_EQ(p.RunLauncher(), 0);
  EXPECT_EQ(next, "OK | " + kManual);
  EXPECT_TRUE(p.backend.Pointers().empty());
  EXPECT_EQ(p.backend.PendingPolls(), 0);
  EXPECT_EQ(Started(p.backend), (Lines{"D:\\Acrobat\\Setup.exe", "D:\\Data\\Subset.exe"}));
  EXPECT_EQ(p.backend.StepsLeft(), 0u);
}

TEST(FailedStart, NoticesFitTheirLabelWithoutScrolling) {
  rt::headless::FontModel fonts(96);
  for (const char* setup : {"Acrobat\\Setup.exe", "Data\\Subset.exe"})
    for (bool not_found : {true, false}) {
      const std::string text = forms::texts::SetupNotStarted(setup, not_found);
      // The notice's label, 3975 twips wide, and the height above its buttons.
      const auto lines = rt::BreakLines(text, 3975 / 15, forms::kSansSerif975, fonts);
      EXPECT_LE(static_cast<int>(lines.size()) * fonts.LineHeight(forms::kSansSerif975), (1320 - 240) / 15) << text;
      EXPECT_LE(lines.size(), 3u) << text;
    }
}

}  // namespace

namespace {

constexpr std::int64_t kMillisecond = 1000;

TEST(DoubleClick, TheSecondPressDoesNotAnswerTheDialogShownUnderIt) {
  // "&OK" of the manual notice double-clicked: the second press, 100 ms on,
  // lands on "&Ja" of the game question and does nothing; a press once the
  // double-click time has passed answers it.
  Program p;
  bool still_asking = false;
  p.backend.Click("frmMsgBox", "Command1")
      .Click("frmYesNo", "Command1")
      .Click("frmYesNo", "Command3")
      .Click("frmNewBox", "Command1", 100 * kMillisecond)
      .Then([&](HeadlessBackend& b) { still_asking = Shown(b, "frmNewBox") == "Ja Nine | " + kGame; })
      .Click("frmNewBox", "Command1", 399 * kMillisecond)  // 499 ms after it appeared
      .Click("frmNewBox", "Command1", 1 * kMillisecond);  // 500 ms
  walks::Finish(p.backend, "accept", "sound-notice");
  EXPECT_EQ(p.RunLauncher(), 0);
  EXPECT_TRUE(still_asking);
  EXPECT_EQ(Started(p.backend), (Lines{"D:\\Data\\Subset.exe"}));
  EXPECT_EQ(p.backend.StepsLeft(), 0u);
}

TEST(DoubleClick, TheConfirmationOverTheOfferTakesNoPressOfTheSameDoubleClick) {
  Program p;
  p.backend.Click("frmMsgBox", "Command1")
      .Click("frmYesNo", "Command1", 100 * kMillisecond)  // would confirm the refusal unread
      .Click("frmYesNo", "Command2", 600 * kMillisecond)  // read, and taken back
      .Click("frmMsgBox", "Command2")
      .Click("frmYesNo", "Command3")
      .Click("frmNewBox", "Command2");
  walks::Finish(p.backend, "accept", "sound-notice");
  EXPECT_EQ(p.RunLauncher(), 0);
  EXPECT_EQ(Started(p.backend), (Lines{"D:\\Acrobat\\Setup.exe"}));
  EXPECT_EQ(p.backend.StepsLeft(), 0u);
}

TEST(DoubleClick, KeysAreNotHeldBack) {
  Program p;
  // Each key 10 ms after the window it answers appeared.
  p.backend.Press("frmMsgBox", testing_support::Alt('n'))
      .Press("frmYesNo", testing_support::Alt('j'), 10 * kMillisecond)
      .Press("frmYesNo", testing_support::Enter(), 10 * kMillisecond)
      .Press("frmNewBox", testing_support::Alt('j'), 10 * kMillisecond);
  bool from_sound = false;  // from the sound notice on, Enter
  for (const walks::Step& s : walks::Walk("accept")) {
    from_sound = from_sound || s.step == "sound-notice";
    if (from_sound && s.form != "-") p.backend.Press(s.form, testing_support::Enter(), 10 * kMillisecond);
  }
  EXPECT_EQ(p.RunLauncher(), 0);
  EXPECT_EQ(Started(p.backend), (Lines{"D:\\Data\\Subset.exe"}));
  EXPECT_FALSE(p.runtime.AnyLoaded());
}

}  // namespace
