// The window runtime on the headless backend: default instances, loading,
// modal showing and its nesting, input routing, the program's end, and the
// standard error.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "runtime/form.h"
#include "runtime/headless/backend.h"
#include "runtime/reading_order.h"
#include "runtime/runtime.h"
#include "runtime/vbmath.h"

namespace {

using rt::headless::HeadlessBackend;

constexpr rt::ControlDef kButtons[] = {
    {.id = 1, .name = "A", .kind = rt::ControlKind::kButton, .left = 120, .top = 120, .width = 900, .height = 375,
     .caption = "&Alpha", .tab_index = 1, .is_default = rt::True},
    {.id = 2, .name = "B", .kind = rt::ControlKind::kButton, .left = 1200, .top = 120, .width = 900, .height = 375,
     .caption = "&Beta", .tab_index = 0, .cancel = rt::True},
    {.id = 3, .name = "Hidden", .kind = rt::ControlKind::kButton, .left = 600, .top = 120, .width = 900,
     .height = 375, .caption = "&Ok", .tab_index = 2, .visible = rt::False},
    {.id = 4, .name = "Text", .kind = rt::ControlKind::kLabel, .left = 120, .top = 600, .width = 1500,
     .height = 600, .caption = "Designed text", .tab_index = 3},
};
constexpr rt::WindowDef kDefA{.name = "frmA", .caption = "A", .client_width = 3000, .client_height = 1500,
                              .controls = kButtons};
constexpr rt::WindowDef kDefB{.name = "frmB", .caption = "B", .client_width = 4500, .client_height = 1500,
                              .controls = kButtons};

// A window whose handlers the test supplies.
template <const rt::WindowDef& Def>
class TestForm : public rt::Form {
 public:
  explicit TestForm(rt::Runtime& r) : rt::Form(r, Def) {}
  std::function<void()> on_load;
  std::function<void(std::uint8_t)> on_click;
  int loads = 0;
  std::vector<std::uint8_t> clicks;
  rt::Control& Button(std::uint8_t id) { return Ctl(id); }

 protected:
  void Form_Load() override {
    ++loads;
    if (on_load) on_load();
  }
  void Click(std::uint8_t id) override {
    clicks.push_back(id);
    if (on_click) on_click(id);
  }
};
using FormA = TestForm<kDefA>;
using FormB = TestForm<kDefB>;

struct RuntimeTest : ::testing::Test {
  HeadlessBackend backend;
  rt::Runtime runtime{backend};
  FormA& a = runtime.Instance<FormA>();
  FormB& b = runtime.Instance<FormB>();
  int Run(const std::function<void()>& start) {
    return backend.Run([&] { return runtime.RunWith(start); });
  }
};

TEST_F(RuntimeTest, DefaultInstanceIsMadeOnceAndLoadedByFirstPropertyUse) {
  EXPECT_EQ(&runtime.Instance<FormA>(), &a);
  EXPECT_FALSE(a.IsLoaded());
  EXPECT_EQ(a.loads, 0);
  // 3000 twips of client area plus the 3 + 3 pixel frame at 15 twips per pixel.
  EXPECT_FLOAT_EQ(a.Width(), 3090.0f);
  EXPECT_FLOAT_EQ(a.Height(), 1875.0f);
  EXPECT_TRUE(a.IsLoaded());
  EXPECT_EQ(a.loads, 1);
  EXPECT_FALSE(rt::IsTrue(a.Visible()));
  // Each of the window's own properties, read or set, loads it.
  const std::function<void(FormA&)> uses[] = {
      [](FormA& f) { f.Left(); },        [](FormA& f) { f.Top(); },        [](FormA& f) { f.Width(); },
      [](FormA& f) { f.Height(); },      [](FormA& f) { f.SetLeft(15); },  [](FormA& f) { f.SetTop(15); },
      [](FormA& f) { f.Button(1); },
  };
  for (const auto& use : uses) {
    HeadlessBackend be;
    rt::Runtime r(be);
    FormA& f = r.Instance<FormA>();
    use(f);
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.loads, 1);
  }
}

TEST_F(RuntimeTest, ReloadStartsFromTheDefinitionAgain) {
  a.Load();
  a.Button(4).SetCaption("changed");
  a.Button(1).SetVisible(rt::False);
  a.Button(3).SetVisible(rt::True);
  a.Button(2).SetLeft(5);
  a.SetLeft(777);
  a.Unload();
  EXPECT_FALSE(a.IsLoaded());
  EXPECT_EQ(a.Controls().size(), 0u);
  a.Load();
  EXPECT_EQ(a.loads, 2);
  EXPECT_EQ(a.Button(4).Caption(), "Designed text");
  EXPECT_TRUE(rt::IsTrue(a.Button(1).Visible()));
  EXPECT_FALSE(rt::IsTrue(a.Button(3).Visible()));
  EXPECT_FLOAT_EQ(a.Button(2).Left(), 1200.0f);
  EXPECT_FLOAT_EQ(a.Left(), 0.0f);
}

TEST_F(RuntimeTest, ModalShowReturnsOnlyAfterTheUnloadingHandlerHasFinished) {
  std::vector<std::string> order;
  a.on_click = [&](std::uint8_t) {
    a.Unload();
    order.push_back("unloaded");
    order.push_back(a.IsLoaded() ? "still loaded" : "handler goes on");
  };
  backend.Click("frmA", "A");
  EXPECT_EQ(Run([&] {
              a.Show(1);
              order.push_back("show returned");
            }),
            0);
  EXPECT_EQ(order, (std::vector<std::string>{"unloaded", "handler goes on", "show returned"}));
}

// A modal window that unloads itself frees the others at once, while the
// handler that unloaded it goes on.
TEST_F(RuntimeTest, ModalWindowUnloadedByItsHandlerFreesTheOthersAtOnce) {
  std::vector<bool> b_enabled;
  a.on_click = [&](std::uint8_t) {
    a.Unload();
    b_enabled.push_back(backend.Record("frmB")->enabled);
    const rt::Time start = runtime.Now();
    while (rt::EarlierThan(runtime.Now(), rt::AddSeconds(start, 1))) runtime.DoEvents();
  };
  b.on_click = [&](std::uint8_t) { b.Unload(); };
  backend.Click("frmA", "A").Click("frmB", "B", 500'000);
  EXPECT_EQ(Run([&] {
              b.Show(0);
              b_enabled.push_back(backend.Record("frmB")->enabled);
              a.Show(1);
            }),
            0);
  EXPECT_EQ(b_enabled, (std::vector<bool>{true, true}));
  EXPECT_EQ(b.clicks, (std::vector<std::uint8_t>{2}));
  EXPECT_EQ(backend.StepsLeft(), 0u);
}

// A window loaded, or loaded again, under a modal one takes no input either.
TEST_F(RuntimeTest, WindowLoadedUnderAModalOneIsDisabled) {
  std::vector<bool> a_enabled;
  b.on_click = [&](std::uint8_t) {
    a_enabled.push_back(backend.Record("frmA")->enabled);
    a.Unload();
    a.Load();
    a_enabled.push_back(backend.Record("frmA")->enabled);
    b.Unload();
  };
  backend.Click("frmB", "B");
  EXPECT_EQ(Run([&] {
              a.Show(0);
              b.Show(1);
              a_enabled.push_back(backend.Record("frmA")->enabled);
              a.Unload();
            }),
            0);
  EXPECT_EQ(a_enabled, (std::vector<bool>{false, false, true}));
}

TEST_F(RuntimeTest, NestedModalBlocksItsOwnerAndReturnsInOrder) {
  std::vector<std::string> order;
  a.on_click = [&](std::uint8_t id) {
    if (id == 1) {
      b.Show(1, &a);
      order.push_back("b returned");
      EXPECT_TRUE(backend.Record("frmA")->enabled);
    } else {
      a.Unload();
    }
  };
  b.on_click = [&](std::uint8_t) {
    b.Unload();
    order.push_back("b unloaded");
  };
  backend.Click("frmA", "A")
      .Then([&](HeadlessBackend& be) {
        EXPECT_EQ(be.Record("frmB")->owner, "frmA");
        EXPECT_TRUE(be.Record("frmB")->modal);
        EXPECT_FALSE(be.Record("frmA")->enabled);
      })
      .Click("frmA", "B")  // blocked: frmB is modal over it
      .Press("frmA", {rt::Key::kEscape})
      .Click("frmB", "A")
      .Click("frmA", "B");
  EXPECT_EQ(Run([&] { a.Show(1); }), 0);
  EXPECT_EQ(a.clicks, (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(order, (std::vector<std::string>{"b unloaded", "b returned"}));
  EXPECT_EQ(runtime.ModalStack().size(), 0u);
}

TEST_F(RuntimeTest, ClicksOnAnUnloadedWindowOrHiddenButtonDoNothing) {
  a.on_click = [&](std::uint8_t) { a.Unload(); };
  b.on_click = [&](std::uint8_t) { b.Unload(); };
  backend.Click("frmA", "A")
      .Click("frmA", "A")  // double click: the window is gone
      .Click("frmB", "Hidden")
      .Press("frmB", {rt::Key::kChar, 'o', true})
      .ClickAt("frmB", 70, 18)  // inside the hidden button only
      .Click("frmB", "B");
  EXPECT_EQ(Run([&] {
              b.Show(0);
              a.Show(0);
            }),
            0);
  EXPECT_EQ(a.clicks.size(), 1u);
  EXPECT_EQ(b.clicks, (std::vector<std::uint8_t>{2}));
  EXPECT_EQ(backend.StepsLeft(), 0u);
}

TEST_F(RuntimeTest, InputReachesNoWindowThatIsLoadedButNotShown) {
  backend.Click("frmA", "A")
      .Press("frmA", {rt::Key::kEnter})
      .Press("frmA", {rt::Key::kChar, 'b', true})
      .Close("frmA")
      .Then([&](HeadlessBackend&) {
        EXPECT_TRUE(a.IsLoaded());
        a.Unload();
      });
  EXPECT_EQ(Run([&] { a.Load(); }), 0);
  EXPECT_TRUE(a.clicks.empty());
  EXPECT_EQ(backend.StepsLeft(), 0u);
}

TEST_F(RuntimeTest, ProgramEndsWhenNoWindowIsLoaded) {
  a.on_load = [&] { a.SetVisible(rt::True); };
  a.on_click = [&](std::uint8_t) { a.Unload(); };
  backend.Click("frmA", "A").Click("frmA", "B");
  EXPECT_EQ(Run([&] { a.Load(); }), 0);
  EXPECT_FALSE(runtime.AnyLoaded());
  EXPECT_EQ(backend.StepsLeft(), 1u);  // nothing ran after the last window went
}

TEST_F(RuntimeTest, KeyboardFollowsTabOrderDefaultAndCancel) {
  std::vector<std::uint8_t> seen;
  a.on_click = [&](std::uint8_t id) { seen.push_back(id); };
  backend.Then([&](HeadlessBackend&) { EXPECT_EQ(a.Focused()->Name(), "B"); })  // lowest TabIndex
      .Press("frmA", {rt::Key::kEnter})                                          // the focused one
      .Press("frmA", {rt::Key::kTab})
      .Then([&](HeadlessBackend&) { EXPECT_EQ(a.Focused()->Name(), "A"); })
      .Press("frmA", {rt::Key::kEnter})
      .Press("frmA", {rt::Key::kEscape})  // cancel button, which does not take the focus
      .Press("frmA", {rt::Key::kEnter})
      .Press("frmA", {rt::Key::kChar, 'a', true})
      .Press("frmA", {rt::Key::kChar, 'B', false})
      .Press("frmA", {rt::Key::kChar, 'o', true})  // hidden button's key
      .Press("frmA", {rt::Key::kTab})
      .Press("frmA", {rt::Key::kTab})
      .Then([&](HeadlessBackend&) { EXPECT_EQ(a.Focused()->Name(), "B"); })  // hidden one skipped
      .Then([&](HeadlessBackend&) { a.Unload(); });
  Run([&] { a.Show(1); });
  EXPECT_EQ(seen, (std::vector<std::uint8_t>{2, 1, 2, 1, 1, 2}));
}

// Three buttons: Tab and Shift+Tab go round them both ways; a button shown or
// hidden elsewhere leaves the focus where it is; a hidden focused one passes
// it to the first.
TEST_F(RuntimeTest, FocusGoesRoundBothWaysAndStaysWhereItIs) {
  std::vector<std::string> focus;
  const auto note = [&](HeadlessBackend&) { focus.emplace_back(a.Focused()->Name()); };
  a.on_load = [&] { a.Button(3).SetVisible(rt::True); };
  backend.Then(note)
      .Press("frmA", {rt::Key::kBackTab})
      .Then(note)
      .Press("frmA", {rt::Key::kBackTab})
      .Then(note)
      .Press("frmA", {rt::Key::kTab})
      .Then(note)
      .Then([&](HeadlessBackend&) { a.Button(2).SetVisible(rt::False); })
      .Then(note)
      .Then([&](HeadlessBackend&) { a.Button(2).SetVisible(rt::True); })
      .Then(note)
      .Then([&](HeadlessBackend&) { a.Button(3).SetVisible(rt::False); })
      .Then(note)
      .Click("frmA", "A")  // a click takes the focus too
      .Then(note)
      .Drag("frmA", 10, 20)  // the user moves the window: its place follows
      .Then([&](HeadlessBackend&) {
        EXPECT_FLOAT_EQ(a.Left(), 150);
        EXPECT_FLOAT_EQ(a.Top(), 300);
        a.Unload();
      });
  EXPECT_EQ(Run([&] { a.Show(0); }), 0);
  EXPECT_EQ(focus, (std::vector<std::string>{"B", "Hidden", "A", "Hidden", "Hidden", "Hidden", "B", "A"}));
}

// With every button hidden nothing has the focus, and no key answers;
// neither does a key without a character, where a button has no access key.
TEST_F(RuntimeTest, KeysWithNothingToAnswer) {
  a.on_load = [&] {
    a.Button(1).SetVisible(rt::False);
    a.Button(2).SetVisible(rt::False);
  };
  backend.Press("frmA", {rt::Key::kEnter})
      .Press("frmA", {rt::Key::kSpace})
      .Press("frmA", {rt::Key::kTab})
      .Press("frmA", {rt::Key::kEscape})
      .Then([&](HeadlessBackend&) {
        EXPECT_EQ(a.Focused(), nullptr);
        a.Button(3).SetCaption("Ok");
        a.Button(3).SetVisible(rt::True);
        EXPECT_EQ(a.Focused()->Name(), "Hidden");
      })
      .Press("frmA", {rt::Key::kChar, 0, true})
      .Then([&](HeadlessBackend&) { a.Unload(); });
  EXPECT_EQ(Run([&] { a.Show(0); }), 0);
  EXPECT_TRUE(a.clicks.empty());
}

// Buttons of one tab index follow the definition, by the keyboard and for a
// screen reader alike.
TEST_F(RuntimeTest, ButtonsOfOneTabIndexKeepTheDefinitionsOrder) {
  static constexpr rt::ControlDef kTwins[] = {
      {.id = 1, .name = "First", .kind = rt::ControlKind::kButton, .left = 120, .top = 120, .width = 900,
       .height = 375, .caption = "&Eins", .tab_index = 0},
      {.id = 2, .name = "Second", .kind = rt::ControlKind::kButton, .left = 1200, .top = 120, .width = 900,
       .height = 375, .caption = "&Zwei", .tab_index = 0},
      {.id = 3, .name = "Empty", .kind = rt::ControlKind::kImage, .width = 900, .height = 375},  // no picture
  };
  static constexpr rt::WindowDef kDef{.name = "frmTwins", .client_width = 3000, .client_height = 1500,
                                      .controls = kTwins};
  auto& twins = runtime.Instance<TestForm<kDef>>();
  std::vector<std::string> focus;
  backend.Then([&](HeadlessBackend&) { focus.emplace_back(twins.Focused()->Name()); })
      .Press("frmTwins", {rt::Key::kTab})
      .Then([&](HeadlessBackend&) { focus.emplace_back(twins.Focused()->Name()); })
      .Then([&](HeadlessBackend&) {
        std::vector<std::string> read;
        for (const rt::Control* c : rt::ReadingOrder(twins)) read.emplace_back(c->Name());
        EXPECT_EQ(read, (std::vector<std::string>{"First", "Second"}));
        for (const auto& c : twins.Controls()) EXPECT_FALSE(rt::ReadsBefore(*c, *c)) << c->Name();
        twins.Unload();
      });
  EXPECT_EQ(Run([&] { twins.Show(0); }), 0);
  EXPECT_EQ(focus, (std::vector<std::string>{"First", "Second"}));
}

TEST_F(RuntimeTest, CloseRequestUnloadsExceptDuringTheLoadHandler) {
  a.on_load = [&] {
    a.SetVisible(rt::True);
    const rt::Time start = runtime.Now();
    while (rt::EarlierThan(runtime.Now(), rt::AddSeconds(start, 1))) runtime.DoEvents();
    EXPECT_TRUE(a.IsLoaded());  // the close request came while this handler ran
    b.Show(1);
    a.Unload();
  };
  backend.Close("frmA", 100'000).Close("frmA").Close("frmB");
  EXPECT_EQ(Run([&] { a.Load(); }), 0);
  EXPECT_TRUE(b.clicks.empty());
  EXPECT_FALSE(b.IsLoaded());
  EXPECT_FALSE(a.IsLoaded());
  EXPECT_EQ(backend.StepsLeft(), 0u);
}

TEST_F(RuntimeTest, RunTimeErrorShowsOneMessageAndEndsWithNonZeroStatus) {
  a.on_click = [&](std::uint8_t) { a.Button(1).SetWidth(rt::CSng(rt::Div(1, 0))); };
  backend.Click("frmA", "A").Click("frmA", "A").Click("frmA", "B");
  EXPECT_EQ(Run([&] { a.Show(1); }), rt::kErrorExitStatus);
  ASSERT_EQ(backend.Errors().size(), 1u);
  EXPECT_EQ(backend.Errors()[0], "Laufzeitfehler '11':\n\nDivision durch Null");
  EXPECT_EQ(a.clicks.size(), 1u);
}

TEST_F(RuntimeTest, ScreenWithoutUsableMetricsIsAnErrorNotAWrongPosition) {
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<rt::ScreenMetrics, std::string> bad[] = {
      {{640, 480, 0, 15}, "'11'"},  // as a division by zero, where the twips are turned into pixels
      {{640, 480, 15, 0}, "'11'"},
      {{0, 480, 15, 15}, "no size"},
      {{640, 0, 15, 15}, "no size"},
      {{640, -1, 15, 15}, "no size"},
      {{640, 480, -15, 15}, "no usable twips"},
      {{640, 480, 15, -15}, "no usable twips"},
      {{640, 480, inf, 15}, "no usable twips"},
      {{640, 480, 15, inf}, "no usable twips"},
  };
  for (const auto& [m, why] : bad) {
    HeadlessBackend be;
    be.SetScreen(m);
    rt::Runtime r(be);
    const int status = be.Run([&] { return r.RunWith([&] { r.Instance<FormA>().Show(0); }); });
    EXPECT_EQ(status, rt::kErrorExitStatus) << why;
    ASSERT_EQ(be.Errors().size(), 1u);
    EXPECT_NE(be.Errors()[0].find(why), std::string::npos) << be.Errors()[0];
  }
  // The least a screen can be: one pixel, of under a twip.
  HeadlessBackend be;
  be.SetScreen({1, 1, 0.5f, 0.5f});
  rt::Runtime r(be);
  EXPECT_EQ(be.Run([&] { return r.RunWith([&] { r.Instance<FormA>().Show(0), r.Instance<FormA>().Unload(); }); }),
            0);
  EXPECT_TRUE(be.Errors().empty());
}

// Out of memory in a handler is the standard error 7, not a silent end.
TEST_F(RuntimeTest, OutOfMemoryIsTheStandardError) {
  a.on_load = [] { throw std::bad_alloc(); };
  EXPECT_EQ(Run([&] { a.Load(); }), rt::kErrorExitStatus);
  ASSERT_EQ(backend.Errors().size(), 1u);
  EXPECT_NE(backend.Errors()[0].find("'7'"), std::string::npos);
}

// A runtime that ends takes its windows with it, the first made as well, and
// is no longer the current one.
TEST(RuntimeEnd, UnloadsEveryWindowAndIsNoLongerCurrent) {
  HeadlessBackend be;
  {
    rt::Runtime r(be);
    r.Instance<FormA>().Load();
    r.Instance<FormB>().Load();
    EXPECT_EQ(&rt::Runtime::Current(), &r);
  }
  EXPECT_EQ(be.FindWindow("frmA"), nullptr);
  EXPECT_EQ(be.FindWindow("frmB"), nullptr);
  EXPECT_THROW(rt::Runtime::Current(), rt::RuntimeError);
}

// A control's pixels are its twips at the nearest pixel, ties to even: the
// display tests take the figures the runtime computed, this says they are right.
TEST_F(RuntimeTest, ControlPixelsAreTheNearestPixelTiesToEven) {
  std::vector<int> widths;
  for (const double twips : {22.5, 37.5, 52.5, 3255 * (12000.0 / 8325)}) {
    a.Button(1).SetWidth(static_cast<rt::Single>(twips));
    widths.push_back(a.Button(1).Rect().width);
  }
  EXPECT_EQ(widths, (std::vector<int>{2, 2, 4, 313}));  // 313: the welcome window's inset at 800 px
}

// Every change of place or size is laid out at once, and a label's text
// broken anew for its new width.
TEST_F(RuntimeTest, ControlsAreLaidOutAgainAfterEachChange) {
  a.on_load = [&] {
    rt::Control& text = a.Button(4);
    rt::Control& button = a.Button(1);
    ASSERT_EQ(text.Lines().size(), 1u);
    text.SetWidth(600);  // 40 px: one word a line
    EXPECT_EQ(text.Lines().size(), 2u);
    EXPECT_EQ(text.Rect().width, 40);
    text.SetWidth(1500);
    EXPECT_EQ(text.Lines().size(), 1u);
    text.SetCaption("Ein Text, der nicht mehr auf eine Zeile passt");
    EXPECT_GT(text.Lines().size(), 1u);
    button.SetCaption("&Gamma Delta Epsilon");  // a button's caption is not broken
    EXPECT_EQ(button.ButtonText().key, 'G');
    button.SetWidth(300);
    EXPECT_TRUE(button.Lines().empty());
    const auto rect = [&] {
      return std::vector({button.Rect().x, button.Rect().y, button.Rect().width, button.Rect().height});
    };
    EXPECT_EQ(rect(), std::vector({8, 8, 20, 25}));
    button.SetLeft(150);
    EXPECT_EQ(rect(), std::vector({10, 8, 20, 25}));
    button.SetTop(300);
    EXPECT_EQ(rect(), std::vector({10, 20, 20, 25}));
    button.SetHeight(450);
    EXPECT_EQ(rect(), std::vector({10, 20, 20, 30}));
    button.SetWidth(0);
    button.SetHeight(0);
    EXPECT_EQ(rect(), std::vector({10, 20, 0, 0}));
  };
  EXPECT_EQ(Run([&] { a.Load(); a.Unload(); }), 0);
  EXPECT_TRUE(backend.Errors().empty());
}

// The backend is told of every change of a control on a window it made.
TEST_F(RuntimeTest, EachChangeOfAControlReachesTheBackend) {
  const std::function<void(rt::Control&)> changes[] = {
      [](rt::Control& c) { c.SetLeft(30); },    [](rt::Control& c) { c.SetTop(30); },
      [](rt::Control& c) { c.SetWidth(30); },   [](rt::Control& c) { c.SetHeight(30); },
      [](rt::Control& c) { c.SetCaption("x"); }, [](rt::Control& c) { c.SetVisible(rt::False); },
  };
  a.on_load = [&] {
    for (const auto& change : changes) {
      const int before = backend.Record("frmA")->control_updates;
      change(a.Button(1));
      EXPECT_EQ(backend.Record("frmA")->control_updates, before + 1);
    }
  };
  EXPECT_EQ(Run([&] { a.Load(); a.Unload(); }), 0);
}

TEST_F(RuntimeTest, NegativeOrNonFiniteSizesAreRejected) {
  a.on_load = [&] { a.Button(1).SetHeight(-1); };
  EXPECT_EQ(Run([&] { a.Load(); }), rt::kErrorExitStatus);
  ASSERT_EQ(backend.Errors().size(), 1u);
  EXPECT_NE(backend.Errors()[0].find("'380'"), std::string::npos);
}

TEST_F(RuntimeTest, DefinitionWhoseIdsAreNotTheirPlacesDoesNotLoad) {
  static constexpr rt::ControlDef kSwapped[] = {kButtons[1], kButtons[0]};
  static constexpr rt::WindowDef kDef{.name = "frmSwapped", .client_width = 3000, .client_height = 1500,
                                      .controls = kSwapped};
  auto& swapped = runtime.Instance<TestForm<kDef>>();
  EXPECT_EQ(Run([&] { swapped.Load(); }), rt::kErrorExitStatus);
  ASSERT_EQ(backend.Errors().size(), 1u);
  EXPECT_NE(backend.Errors()[0].find("'730'"), std::string::npos);
  EXPECT_FALSE(swapped.IsLoaded());
  // Nor is a control reached by an id outside the list.
  for (const std::uint8_t id : {0, 5}) {
    HeadlessBackend be;
    rt::Runtime r(be);
    EXPECT_EQ(be.Run([&] { return r.RunWith([&] { r.Instance<FormA>().Button(id); }); }), rt::kErrorExitStatus);
    ASSERT_EQ(be.Errors().size(), 1u);
    EXPECT_NE(be.Errors()[0].find("'730'"), std::string::npos);
  }
}

TEST_F(RuntimeTest, ShowingAVisibleWindowModallyIsAnError) {
  a.on_load = [&] {
    a.Show(0);
    a.Show(1);
  };
  EXPECT_EQ(Run([&] { a.Load(); }), rt::kErrorExitStatus);
  EXPECT_NE(backend.Errors().at(0).find("'400'"), std::string::npos);
}

TEST_F(RuntimeTest, DoEventsPollsAndTheClockAddsSeconds) {
  const rt::Time start = runtime.Now();
  int passes = 0;
  while (rt::EarlierThan(runtime.Now(), rt::AddSeconds(start, 1))) {
    runtime.DoEvents();
    ++passes;
  }
  EXPECT_EQ(passes, 1'000'000 / rt::headless::kIdleStepMicros);
  EXPECT_EQ(runtime.Now(), rt::AddSeconds(start, 1));
}

TEST(Clock, NoRestartAtMidnight) {
  // 23:59:50 as a time of day would wrap; the runtime's reading does not.
  const rt::Time before_midnight{(24 * 3600 - 10) * std::int64_t{1'000'000}};
  const rt::Time deadline = rt::AddSeconds(before_midnight, 20);
  EXPECT_TRUE(rt::EarlierThan(before_midnight, deadline));
  EXPECT_FALSE(rt::EarlierThan(rt::AddSeconds(before_midnight, 21), deadline));
  const rt::Time a = rt::SteadyNow();
  EXPECT_FALSE(rt::EarlierThan(rt::SteadyNow(), a));
}

}  // namespace
