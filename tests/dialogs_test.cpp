// The dialog windows: their answers, the offer/confirmation state machine,
// keyboard and mouse as the definitions bind them, and fresh state per showing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/texts.h"
#include "program_fixture.h"
#include "runtime/reading_order.h"

namespace {

using rt::False;
using rt::True;
using rt::headless::HeadlessBackend;
using testing_support::Alt;
using testing_support::Enter;
using testing_support::Escape;
using testing_support::Program;
using testing_support::Tab;

struct Members {
  rt::Boolean acrobat, result;
  bool operator==(const Members&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Members& m) {
  return o << "{blnAcrobat " << m.acrobat << ", blnResult " << m.result << "}";
}
Members Read(frmAcrobat& m) { return {m.blnAcrobat, m.blnResult}; }
void Write(frmAcrobat& m, Members v) {
  m.blnAcrobat = v.acrobat;
  m.blnResult = v.result;
}

const Members kStarts[] = {{False, False}, {True, True}, {True, False}, {False, True}, {1, 5}};

// One showing of a window the way its caller shows it, answered by `answer`.
template <class W>
Members AnswerDialog(bool ok_only, const std::function<void(HeadlessBackend&)>& answer, Members start,
                     Program& p) {
  Write(p.Main(), start);
  answer(p.backend);
  EXPECT_EQ(p.RunWith([&] {
              W& w = p.Window<W>();
              if constexpr (std::is_same_v<W, frmYesNo>) p.Main().MyMsgBox("Text", ok_only ? True : False);
              else p.Main().MyNewBox("Text", ok_only ? True : False);
              EXPECT_FALSE(w.IsLoaded());
            }),
            0);
  EXPECT_EQ(p.backend.StepsLeft(), 0u);
  return Read(p.Main());
}

auto ClickOn(std::string window, std::string control) {
  return [=](HeadlessBackend& b) { b.Click(window, control); };
}

TEST(ConfirmationWindow, EachButtonWritesItsAnswerWhateverTheMembersHeld) {
  for (const Members start : kStarts) {
    Program p1, p2, p3, p4;
    EXPECT_EQ(AnswerDialog<frmYesNo>(false, ClickOn("frmYesNo", "Command1"), start, p1), (Members{False, True}));
    EXPECT_EQ(AnswerDialog<frmYesNo>(false, ClickOn("frmYesNo", "Command2"), start, p2),
              (Members{start.acrobat, False}));
    EXPECT_EQ(AnswerDialog<frmYesNo>(true, ClickOn("frmYesNo", "Command3"), start, p3), start);
    EXPECT_EQ(AnswerDialog<frmYesNo>(true, [](HeadlessBackend& b) { b.Close("frmYesNo"); }, start, p4), start);
  }
}

TEST(NoticeWindow, EachButtonWritesItsAnswerWhateverTheMembersHeld) {
  for (const Members start : kStarts) {
    Program p1, p2, p3, p4;
    EXPECT_EQ(AnswerDialog<frmNewBox>(false, ClickOn("frmNewBox", "Command1"), start, p1),
              (Members{start.acrobat, True}));
    EXPECT_EQ(AnswerDialog<frmNewBox>(false, ClickOn("frmNewBox", "Command2"), start, p2),
              (Members{start.acrobat, False}));
    EXPECT_EQ(AnswerDialog<frmNewBox>(true, ClickOn("frmNewBox", "Command3"), start, p3), start);
    EXPECT_EQ(AnswerDialog<frmNewBox>(false, [](HeadlessBackend& b) { b.Close("frmNewBox"); }, start, p4), start);
  }
}

// What screen readers read of a window, in order: its visible labels, then
// its visible buttons, each group by TabIndex whatever the definition's
// order; pictures and hidden buttons never.
TEST(ReadingOrder, VisibleLabelsThenVisibleButtonsEachByTabIndex) {
  Program p;
  const auto read = [](const rt::Form& w) {
    std::vector<std::string> names;
    for (const rt::Control* c : rt::ReadingOrder(w)) names.emplace_back(c->Name());
    return names;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(p.RunWith([&] {
              frmMsgBox& offer = p.Window<frmMsgBox>();
              offer.Load();
              EXPECT_EQ(read(offer), (Names{"lblMessage", "Label1", "Command2", "Command1"}));
              offer.Unload();
              frmYesNo& yesno = p.Window<frmYesNo>();
              yesno.Load();
              EXPECT_EQ(read(yesno), (Names{"Label1", "Command2", "Command1"}));
              yesno.Command1().SetVisible(False);
              yesno.Command2().SetVisible(False);
              yesno.Command3().SetVisible(True);
              EXPECT_EQ(read(yesno), (Names{"Label1", "Command3"}));
              yesno.Unload();
            }),
            0);
}

TEST(Presenters, OkOnlyFormAndMessageLastOneShowingOnly) {
  Program p;
  const std::string message = std::string(3, ' ') + "a  b" + std::string(40, ' ') + "c ";
  frmYesNo& w = p.Window<frmYesNo>();
  p.backend
      .Then([&](HeadlessBackend&) {
        EXPECT_EQ(w.Label1().Caption(), message);  // unaltered, blanks and all
        EXPECT_FALSE(rt::IsTrue(w.Command1().Visible()));
        EXPECT_FALSE(rt::IsTrue(w.Command2().Visible()));
        EXPECT_TRUE(rt::IsTrue(w.Command3().Visible()));
        EXPECT_EQ(w.Focused(), &w.Command3());
      })
      .Click("frmYesNo", "Command1")  // hidden: nothing happens
      .Click("frmYesNo", "Command3")
      .Then([&](HeadlessBackend&) {
        EXPECT_EQ(w.Label1().Caption(), forms::texts::kT3);
        EXPECT_TRUE(rt::IsTrue(w.Command1().Visible()));
        EXPECT_TRUE(rt::IsTrue(w.Command2().Visible()));
        EXPECT_FALSE(rt::IsTrue(w.Command3().Visible()));
      })
      .Click("frmYesNo", "Command2");
  p.RunWith([&] {
    p.Main().lngLeft = -500;  // off screen: the presenters do not correct it
    p.Main().lngTop = 123;
    p.Main().MyMsgBox(message, 7);  // any non-zero value asks for OK only
    EXPECT_FALSE(w.IsLoaded());
    w.Show(1);
  });
  EXPECT_EQ(p.backend.StepsLeft(), 0u);
  EXPECT_EQ(p.Main().blnResult, False);
}

TEST(Presenters, PlaceTheWindowAtTheCommonPositionWhateverItsSize) {
  Program p;
  std::vector<std::pair<float, float>> places;
  auto record = [&](rt::Form& f) { places.emplace_back(f.Left(), f.Top()); };
  p.backend.Then([&](HeadlessBackend&) { record(p.Window<frmYesNo>()); })
      .Click("frmYesNo", "Command3")
      .Then([&](HeadlessBackend&) { record(p.Window<frmNewBox>()); })
      .Click("frmNewBox", "Command3");
  p.RunWith([&] {
    p.Main().lngLeft = 8000;
    p.Main().lngTop = 6999;
    p.Main().MyMsgBox("x", True);
    p.Main().MyNewBox("y", True);
  });
  EXPECT_EQ(places, (std::vector<std::pair<float, float>>{{8000, 6999}, {8000, 6999}}));
  EXPECT_EQ(p.backend.Record("frmYesNo"), nullptr);
}

TEST(OfferWindow, AcceptSetsAcrobatAndTouchesNothingElse) {
  Program p;
  p.Main().blnResult = 5;
  p.backend.Click("frmMsgBox", "Command2");
  EXPECT_EQ(p.RunWith([&] { p.Window<frmMsgBox>().Show(1); }), 0);
  EXPECT_EQ(Read(p.Main()), (Members{True, 5}));
  EXPECT_FALSE(p.Window<frmMsgBox>().IsLoaded());
  for (const auto& line : p.backend.Log()) EXPECT_EQ(line.find("frmYesNo"), std::string::npos) << line;
}

TEST(OfferWindow, WithdrawnRefusalKeepsTheOfferOpenAndCentresTheSameWayAgain) {
  Program p;
  std::vector<std::pair<float, float>> places;
  auto confirmation = [&](HeadlessBackend& b) {
    EXPECT_EQ(b.Record("frmYesNo")->owner, "frmMsgBox");
    EXPECT_TRUE(b.Record("frmYesNo")->modal);
    EXPECT_FALSE(b.Record("frmMsgBox")->enabled);
    places.emplace_back(p.Window<frmYesNo>().Left(), p.Window<frmYesNo>().Top());
    EXPECT_EQ(p.Window<frmYesNo>().Label1().Caption(), forms::texts::kT3);
  };
  p.backend.Click("frmMsgBox", "Command1")
      .Then(confirmation)
      .Click("frmYesNo", "Command2")
      .Then([&](HeadlessBackend&) {
        EXPECT_TRUE(p.Window<frmMsgBox>().IsLoaded());
        EXPECT_EQ(Read(p.Main()), (Members{False, False}));
      })
      .Drag("frmMsgBox", 3, 4)  // the confirmation still centres on the offer's starting place
      .Click("frmMsgBox", "Command1")
      .Then(confirmation)
      .Click("frmYesNo", "Command1");
  EXPECT_EQ(p.RunWith([&] {
              p.Main().lngLeft = 1500;
              p.Main().lngTop = 2000;
              frmMsgBox& offer = p.Window<frmMsgBox>();
              offer.SetLeft(1500);
              offer.SetTop(2000);
              offer.Show(1);
            }),
            0);
  EXPECT_EQ(Read(p.Main()), (Members{False, True}));
  EXPECT_FALSE(p.Window<frmMsgBox>().IsLoaded());
  EXPECT_FALSE(p.Window<frmYesNo>().IsLoaded());
  // 5655 x 2955 offer, 4215 x 2475 confirmation (client plus frame).
  const std::pair<float, float> centred{(5655.0f - 4215.0f) / 2 + 1500, (2955.0f - 2475.0f) / 2 + 2000};
  EXPECT_EQ(places, (std::vector<std::pair<float, float>>{centred, centred}));
}

TEST(OfferWindow, ClosedWithoutAButtonChangesNoMember) {
  Program p;
  p.backend.Close("frmMsgBox");
  p.RunWith([&] { p.Window<frmMsgBox>().Show(1); });
  EXPECT_EQ(Read(p.Main()), (Members{False, False}));
  EXPECT_FALSE(p.Window<frmMsgBox>().IsLoaded());
}

TEST(OfferWindow, ConfirmationClosedWithoutAButtonKeepsTheOfferOpen) {
  Program p;
  p.backend.Click("frmMsgBox", "Command1")
      .Close("frmYesNo")
      .Then([&](HeadlessBackend&) { EXPECT_TRUE(p.Window<frmMsgBox>().IsLoaded()); })
      .Click("frmMsgBox", "Command2");
  p.RunWith([&] { p.Window<frmMsgBox>().Show(1); });
  EXPECT_EQ(Read(p.Main()), (Members{True, False}));
}

TEST(CentreOn, HalfTwipsKeptNothingClamped) {
  EXPECT_FLOAT_EQ(CentreOn(6000, 4000, 1500), 2500.0f);
  EXPECT_FLOAT_EQ(CentreOn(4015, 0, 0), 2007.5f);
  EXPECT_FLOAT_EQ(CentreOn(4000, 6000, 1500), 500.0f);
  EXPECT_FLOAT_EQ(CentreOn(4000, 6000, 0), -1000.0f);
}

// Which member each window's keys leave: the focus and key table.
struct KeyCase {
  const char* what;
  std::function<void(HeadlessBackend&)> script;
  Members expected;
};

void RunOfferKeys(const KeyCase& c) {
  Program p;
  c.script(p.backend);
  p.RunWith([&] { p.Window<frmMsgBox>().Show(1); });
  EXPECT_EQ(Read(p.Main()), c.expected) << c.what;
  EXPECT_EQ(p.backend.StepsLeft(), 0u) << c.what;
}

TEST(Keyboard, OfferWindowStartsOnJaAndEscapeDeclines) {
  const KeyCase cases[] = {
      {"Enter on the focused Ja", [](HeadlessBackend& b) { b.Press("frmMsgBox", Enter()); }, {True, False}},
      {"Alt+J", [](HeadlessBackend& b) { b.Press("frmMsgBox", Alt('j')); }, {True, False}},
      {"Escape declines, Enter on the confirmation answers Nine, then Alt+J",
       [](HeadlessBackend& b) {
         b.Press("frmMsgBox", Escape()).Press("frmYesNo", Enter()).Press("frmMsgBox", Alt('J'));
       },
       {True, False}},
      {"Alt+N, Tab to Ja, Enter confirms",
       [](HeadlessBackend& b) { b.Press("frmMsgBox", Alt('n')).Press("frmYesNo", Tab()).Press("frmYesNo", Enter()); },
       {False, True}},
      {"Escape on the confirmation answers Nine; keys to the blocked offer do nothing",
       [](HeadlessBackend& b) {
         b.Press("frmMsgBox", Alt('n'))
             .Press("frmMsgBox", Enter())
             .Press("frmYesNo", Escape())
             .Press("frmMsgBox", Alt('j'));
       },
       {True, False}},
  };
  for (const auto& c : cases) RunOfferKeys(c);
}

TEST(Keyboard, NoticeWindowAndOkOnlyForms) {
  struct Case {
    const char* what;
    bool ok_only;
    std::function<void(HeadlessBackend&)> script;
    Members expected;
  };
  const Case cases[] = {
      {"Enter on the focused Ja", false, [](HeadlessBackend& b) { b.Press("frmNewBox", Enter()); }, {False, True}},
      {"Escape is Nine", false, [](HeadlessBackend& b) { b.Press("frmNewBox", Escape()); }, {False, False}},
      {"Tab moves to Nine", false,
       [](HeadlessBackend& b) { b.Press("frmNewBox", Tab()).Press("frmNewBox", Enter()); }, {False, False}},
      // OK-only: Escape reaches no hidden button, so the window stays until OK.
      {"OK-only: Escape does nothing, Enter is OK", true,
       [](HeadlessBackend& b) {
         b.Press("frmNewBox", Escape())
             .Then([](HeadlessBackend& be) { EXPECT_NE(be.FindWindow("frmNewBox"), nullptr); })
             .Press("frmNewBox", Alt('j'))
             .Press("frmNewBox", Alt('n'))
             .Press("frmNewBox", Enter());
       },
       {True, True}},
      {"OK-only: Alt+O", true, [](HeadlessBackend& b) { b.Press("frmNewBox", Alt('o')); }, {True, True}},
  };
  for (const auto& c : cases) {
    Program p;
    p.Main().blnAcrobat = c.expected.acrobat;
    p.Main().blnResult = c.ok_only ? True : 5;
    c.script(p.backend);
    p.RunWith([&] { p.Main().MyNewBox("?", c.ok_only ? True : False); });
    EXPECT_EQ(Read(p.Main()), c.expected) << c.what;
    EXPECT_EQ(p.backend.StepsLeft(), 0u) << c.what;
  }
}

TEST(Keyboard, ConfirmationStartsOnNineSoEnterAnswersNo) {
  Program p;
  p.Main().blnResult = True;
  p.backend.Then([&](HeadlessBackend&) { EXPECT_EQ(p.Window<frmYesNo>().Focused()->Name(), "Command2"); })
      .Press("frmYesNo", Enter());
  p.RunWith([&] { p.Window<frmYesNo>().Show(1); });
  EXPECT_EQ(p.Main().blnResult, False);
}

TEST(Mouse, HiddenButtonsTakeNoClickAndTheirNeighboursWork) {
  // frmYesNo at 15 twips per pixel: Nine x 56..120, OK x 104..168, Ja x 160..224, y 104..128.
  const struct {
    bool ok_only;
    std::vector<int> xs;  // clicks, in order, at y 116
    Members expected;
  } cases[] = {{false, {140, 110}, {True, False}},    // hidden OK alone: nothing; then Nine beneath it
               {false, {140, 165}, {False, True}},    // Ja beneath the hidden OK
               {true, {60, 200, 110}, {True, True}}};  // hidden Nine and Ja: nothing; then OK
  for (const auto& c : cases) {
    Program p;
    Write(p.Main(), {True, True});
    for (int x : c.xs) p.backend.ClickAt("frmYesNo", x, 116);
    p.RunWith([&] { p.Main().MyMsgBox(std::string(forms::texts::kT3), c.ok_only ? True : False); });
    EXPECT_EQ(Read(p.Main()), c.expected) << c.xs.back();
    EXPECT_FALSE(p.Window<frmYesNo>().IsLoaded());
    EXPECT_EQ(p.backend.StepsLeft(), 0u);
  }
}

TEST(Definitions, TextsAndCaptionsByteForByte) {
  EXPECT_EQ(forms::texts::kT3.size(), 182u);
  EXPECT_NE(forms::texts::kT3.find("k\xF6nnte  es"), std::string::npos);
  EXPECT_NE(forms::texts::kT3.find("Programm  zu"), std::string::npos);
  EXPECT_NE(forms::texts::kT3.find("spielen." + std::string(34, ' ') + "Sind"), std::string::npos);
  EXPECT_NE(forms::texts::kT3.find("da\xDF Sie es \"NICHT\" installieren wollen?"), std::string::npos);
  EXPECT_EQ(forms::texts::kT2, "M\xF6" "chten Sie Acrobat   Reader installieren?");
  EXPECT_EQ(forms::frmNewBox::Definition().caption, "Mirelund  Installation ");
  EXPECT_EQ(forms::frmYesNo::Definition().caption, forms::frmMsgBox::Definition().caption);
  EXPECT_EQ(forms::frmOption::Definition().controls[0].tooltip, "Viel Spa\xDF beim Spielen!");
}

TEST(Definitions, IconsAndTheCutOffLabel) {
  const auto& offer = forms::frmMsgBox::Definition();
  const auto& notice = forms::frmNewBox::Definition();
  ASSERT_EQ(offer.icon.kind, rt::IconKind::kPicture);
  ASSERT_EQ(notice.icon.kind, rt::IconKind::kPicture);
  EXPECT_TRUE(std::equal(offer.icon.picture.begin(), offer.icon.picture.end(), notice.icon.picture.begin(),
                         notice.icon.picture.end()));
  EXPECT_EQ(forms::frmYesNo::Definition().icon.kind, rt::IconKind::kStandard);
  EXPECT_EQ(forms::frmOption::Definition().icon.kind, rt::IconKind::kNone);
  // lblMessage reaches past the client area: the window cuts it off.
  const auto& msg = offer.controls[forms::frmMsgBox::lblMessage - 1];
  EXPECT_EQ(msg.left + msg.width - offer.client_width, 90);
}

}  // namespace
