// What an accessibility client (a screen reader) reads of the program's
// windows under the Win32 backend: each dialog, designed and in the forms the
// presenters give it, shown the way the program shows it. The window's name
// is its exact caption; its children are its visible labels and buttons in
// reading order, the labels named by their whole texts, the buttons by their
// captions with their access keys; pictures and hidden buttons are absent;
// the closing button is described by its tooltip; the focus lies on a button
// inside the window.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "dialogs/frmMsgBox.h"
#include "dialogs/frmNewBox.h"
#include "dialogs/frmOption.h"
#include "dialogs/frmYesNo.h"
#include "forms/texts.h"
#include "runtime/win32/backend.h"
#include "runtime/win32/encoding.h"
#include "setup/frmAcrobat.h"
// After the backend's header, which includes the Windows API its own way.
#include <oleacc.h>

namespace {

using rt::win32::Widen1252;

// What a client reads of one object.
struct Read {
  long role = 0;
  std::wstring name, shortcut, description, help;
  bool operator==(const Read&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Read& r) {
  return os << "{role " << r.role << ", name \"" << rt::win32::ToUtf8(r.name) << "\", shortcut \""
            << rt::win32::ToUtf8(r.shortcut) << "\", description \"" << rt::win32::ToUtf8(r.description)
            << "\", help \"" << rt::win32::ToUtf8(r.help) << "\"}";
}

Read Label(const std::string& text) { return {ROLE_SYSTEM_STATICTEXT, Widen1252(text), {}, {}, {}}; }
Read Button(const wchar_t* name, const wchar_t* shortcut, const std::wstring& description = {}) {
  return {ROLE_SYSTEM_PUSHBUTTON, name, shortcut, description, {}};
}

// What a client sees of a window's client area.
struct Window {
  Read self;
  std::vector<Read> children;
};

template <class Get>
std::wstring String(Get get) {
  BSTR s = nullptr;
  const HRESULT hr = get(&s);
  std::wstring text = SUCCEEDED(hr) && s ? std::wstring(s, SysStringLen(s)) : std::wstring();
  SysFreeString(s);
  return text;
}

Read ReadOf(IAccessible* a) {
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  Read r;
  VARIANT role{};
  if (SUCCEEDED(a->get_accRole(self, &role)) && role.vt == VT_I4) r.role = role.lVal;
  VariantClear(&role);
  r.name = String([&](BSTR* s) { return a->get_accName(self, s); });
  r.shortcut = String([&](BSTR* s) { return a->get_accKeyboardShortcut(self, s); });
  r.description = String([&](BSTR* s) { return a->get_accDescription(self, s); });
  r.help = String([&](BSTR* s) { return a->get_accHelp(self, s); });
  return r;
}

IAccessible* ClientOf(HWND hwnd) {
  IAccessible* a = nullptr;
  // mingw's import libraries give IID_IAccessible a wrong value; __uuidof is right.
  if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&a))))
    return nullptr;
  return a;
}

Window ReadWindow(HWND hwnd) {
  Window w;
  IAccessible* a = ClientOf(hwnd);
  if (!a) {
    ADD_FAILURE() << "no accessible object";
    return w;
  }
  w.self = ReadOf(a);
  long count = 0;
  EXPECT_EQ(a->get_accChildCount(&count), S_OK);
  std::vector<VARIANT> children(static_cast<std::size_t>(count));
  long got = 0;
  if (count > 0) {
    EXPECT_TRUE(SUCCEEDED(AccessibleChildren(a, 0, count, children.data(), &got)));
  }
  EXPECT_EQ(got, count);
  for (long i = 0; i < got; ++i) {
    VARIANT& v = children[static_cast<std::size_t>(i)];
    IAccessible* child = nullptr;
    if (v.vt == VT_DISPATCH && v.pdispVal)
      v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child));
    if (child) {
      w.children.push_back(ReadOf(child));
      child->Release();
    } else {
      ADD_FAILURE() << "child " << i << " is no object of its own";
    }
    VariantClear(&v);
  }
  a->Release();
  return w;
}

void Print(const char* what, const Window& w) {
  std::cout << what << ": " << w.self << "\n";
  for (const Read& c : w.children) std::cout << "  " << c << "\n";
}

// A client following the focus: it lands on `button`, inside a window whose
// client object is named by the exact caption.
void ExpectFocusOn(HWND window, const std::string& caption, const wchar_t* button) {
  const HWND focus = GetFocus();
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(GetAncestor(focus, GA_ROOT), window);
  IAccessible* a = ClientOf(focus);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(ReadOf(a).name, button);
  a->Release();
  IAccessible* root = ClientOf(GetAncestor(focus, GA_ROOT));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(ReadOf(root).name, Widen1252(caption));
  root->Release();
}

// Runs `g_inspect` while a modal showing is on the screen, then closes the
// innermost modal window as its close control would.
rt::Runtime* g_runtime = nullptr;
std::function<void()> g_inspect;
HWND Innermost() {
  const auto& stack = g_runtime->ModalStack();
  return stack.empty() ? nullptr : rt::win32::Win32Backend::Handle(*stack.back());
}
void CALLBACK WhileShown(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const std::function<void()> inspect = std::move(g_inspect);
  const HWND shown = Innermost();
  // In front, so that a screen reader follows it there.
  EXPECT_EQ(GetForegroundWindow(), shown);
  if (inspect) inspect();
  PostMessageW(shown, WM_CLOSE, 0, 0);
}
// The same, once a user's press would reach the innermost window's buttons:
// polled, so that however long a window takes to come up on this machine is
// not taken off its double-click time.
void CALLBACK WhenItTakesPresses(HWND window, UINT message, UINT_PTR timer, DWORD time) {
  const auto& stack = g_runtime->ModalStack();
  if (stack.empty() || !g_runtime->TakesPressAt(*stack.back(), g_runtime->Now())) return;
  WhileShown(window, message, timer, time);
}

// The welcome window's definition without its load handler, which would run
// the whole setup.
class Welcome : public rt::Form {
 public:
  explicit Welcome(rt::Runtime& r) : rt::Form(r, forms::frmAcrobat::Definition()) {}
};

const std::string kOfferCaption = "Acrobat Reader Installation (empfohlen)";
const std::string kNoticeCaption = "Mirelund  Installation ";
const std::string kT1 =
    "Diese Programm erm\xF6glicht Ihnen die Ansicht des elektronischen Handbuches f\xFCr das von Ihnen zu "
    "installierende Spiel.";
const std::string kT2 = "M\xF6" "chten Sie Acrobat   Reader installieren?";
const std::string kT3 = "Ohne das Handbuch zu lesen, k\xF6nnte  es eventuell schwierig werden, das Programm  zu "
                        "spielen." + std::string(34, ' ') + "Sind Sie sicher, da\xDF Sie es \"NICHT\" installieren wollen?";
const std::string kT4 =
    "Um sich das elektronische Handbuch anzuschauen, klicken Sie bitte die MANUAL.PDF Datei auf Ihrer CD doppelt.";

struct AccessTest : ::testing::Test {
  rt::win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  rt::Runtime runtime{backend};
  void SetUp() override { g_runtime = &runtime; }

  frmAcrobat& Main() { return runtime.Instance<frmAcrobat>(); }
  static HWND Hwnd(const rt::Form& f) { return rt::win32::Win32Backend::Handle(f); }

  // The modal showing `show` starts, read while it is on the screen.
  Window ReadShowing(const std::function<void()>& show, const std::function<void(HWND)>& also = {}) {
    Window read;
    bool inspected = false;
    g_inspect = [&] {
      inspected = true;
      const HWND shown = Innermost();
      read = ReadWindow(shown);
      if (also) also(shown);
    };
    EXPECT_NE(SetTimer(nullptr, 0, 50, &WhileShown), 0u);
    EXPECT_EQ(runtime.RunWith(show), 0);
    EXPECT_TRUE(inspected);
    // Read as a dialog: a screen reader reads its texts when it comes up.
    EXPECT_EQ(read.self.role, ROLE_SYSTEM_DIALOG);
    return read;
  }
};

TEST(AccessTestSupport, TextsAreTheDefinitions) {
  EXPECT_EQ(kT3.size(), 182u);
  EXPECT_EQ(forms::frmYesNo::Definition().controls[forms::frmYesNo::Label1 - 1].caption, kT3);
  EXPECT_EQ(forms::frmNewBox::Definition().controls[forms::frmNewBox::Label1 - 1].caption, kT4);
  EXPECT_EQ(forms::frmMsgBox::Definition().controls[forms::frmMsgBox::Label1 - 1].caption, kT1);
  EXPECT_EQ(forms::frmMsgBox::Definition().controls[forms::frmMsgBox::lblMessage - 1].caption, kT2);
  EXPECT_EQ(forms::frmNewBox::Definition().caption, kNoticeCaption);
}

TEST_F(AccessTest, OfferReadsBothTextsThenItsButtonsAndNotItsPicture) {
  const Window w = ReadShowing(
      [&] {
        frmMsgBox& offer = runtime.Instance<frmMsgBox>();
        offer.SetLeft(1500);
        offer.SetTop(1500);
        offer.Show(1);
      },
      [&](HWND shown) { ExpectFocusOn(shown, kOfferCaption, L"Ja"); });
  Print("frmMsgBox", w);
  EXPECT_EQ(w.self.name, Widen1252(kOfferCaption));
  EXPECT_EQ(w.children,
            (std::vector<Read>{Label(kT2), Label(kT1), Button(L"Ja", L"Alt+J"), Button(L"Nine", L"Alt+N")}));
}

TEST_F(AccessTest, ConfirmationAsDesignedHasNoHiddenOk) {
  const Window w = ReadShowing(
      [&] {
        frmYesNo& confirm = runtime.Instance<frmYesNo>();
        confirm.SetLeft(1500);
        confirm.SetTop(1500);
        confirm.Show(1);
      },
      [&](HWND shown) { ExpectFocusOn(shown, kOfferCaption, L"Nine"); });
  Print("frmYesNo, designed", w);
  EXPECT_EQ(w.self.name, Widen1252(kOfferCaption));
  EXPECT_EQ(w.children, (std::vector<Read>{Label(kT3), Button(L"Nine", L"Alt+N"), Button(L"Ja", L"Alt+J")}));
}

TEST_F(AccessTest, ConfirmationFromTheOfferIsReadWhileTheOfferWaits) {
  bool read = false;
  g_inspect = [&] {
    // The offer is up: its "&Nine" opens the confirmation over it, and
    // returns once that is closed; then the offer is closed.
    const HWND offer = Innermost();
    g_inspect = [&, offer] {
      const HWND confirm = Innermost();
      EXPECT_NE(confirm, offer);
      const Window w = ReadWindow(confirm);
      EXPECT_EQ(w.self.role, ROLE_SYSTEM_DIALOG);
      EXPECT_EQ(w.children,
                (std::vector<Read>{Label(kT3), Button(L"Nine", L"Alt+N"), Button(L"Ja", L"Alt+J")}));
      ExpectFocusOn(confirm, kOfferCaption, L"Nine");
      read = true;
    };
    SetTimer(nullptr, 0, 50, &WhileShown);
    SendMessageW(rt::win32::Win32Backend::ButtonHandle(runtime.Instance<frmMsgBox>().Command1()), BM_CLICK, 0, 0);
  };
  // "&Nine" is pressed as a user would: a press sooner after the offer came
  // up is taken for the end of a double click and does nothing.
  ASSERT_NE(SetTimer(nullptr, 0, 20, &WhenItTakesPresses), 0u);
  EXPECT_EQ(runtime.RunWith([&] { runtime.Instance<frmMsgBox>().Show(1); }), 0);
  EXPECT_TRUE(read);
}

TEST_F(AccessTest, ManualNoticeReadsTheWholeMessageAndOnlyOk) {
  const Window w = ReadShowing([&] { Main().MyMsgBox(forms::texts::ManualNotice(), rt::True); },
                               [&](HWND shown) { ExpectFocusOn(shown, kOfferCaption, L"OK"); });
  Print("frmYesNo, manual notice", w);
  EXPECT_EQ(w.children, (std::vector<Read>{Label(forms::texts::ManualNotice()), Button(L"OK", L"Alt+O")}));
}

TEST_F(AccessTest, GameQuestionReadsTheQuestionThenYesAndNo) {
  const Window w = ReadShowing([&] { Main().MyNewBox(forms::texts::GameQuestion(), rt::False); },
                               [&](HWND shown) { ExpectFocusOn(shown, kNoticeCaption, L"Ja"); });
  Print("frmNewBox, game question", w);
  EXPECT_EQ(w.self.name, Widen1252(kNoticeCaption));
  EXPECT_EQ(w.children, (std::vector<Read>{Label(forms::texts::GameQuestion()), Button(L"Ja", L"Alt+J"),
                                           Button(L"Nine", L"Alt+N")}));
}

TEST_F(AccessTest, SoundNoticeReadsTheWholeMessageAndOnlyOk) {
  const Window w = ReadShowing([&] { Main().MyNewBox(forms::texts::SoundNotice(), rt::True); },
                               [&](HWND shown) { ExpectFocusOn(shown, kNoticeCaption, L"OK"); });
  Print("frmNewBox, sound notice", w);
  EXPECT_EQ(w.self.name, Widen1252(kNoticeCaption));
  EXPECT_EQ(w.children, (std::vector<Read>{Label(forms::texts::SoundNotice()), Button(L"OK", L"Alt+O")}));
}

TEST_F(AccessTest, OtherFormsOfTheTwoMessageWindows) {
  // The notice window as designed, and the confirmation asking the game question.
  Window w = ReadShowing([&] {
    frmNewBox& box = runtime.Instance<frmNewBox>();
    box.Show(1);
  });
  Print("frmNewBox, designed", w);
  EXPECT_EQ(w.children, (std::vector<Read>{Label(kT4), Button(L"Ja", L"Alt+J"), Button(L"Nine", L"Alt+N")}));
  w = ReadShowing([&] { Main().MyMsgBox(forms::texts::GameQuestion(), rt::False); });
  EXPECT_EQ(w.children, (std::vector<Read>{Label(forms::texts::GameQuestion()), Button(L"Nine", L"Alt+N"),
                                           Button(L"Ja", L"Alt+J")}));
  w = ReadShowing([&] { Main().MyNewBox(forms::texts::ManualNotice(), rt::True); });
  EXPECT_EQ(w.children, (std::vector<Read>{Label(forms::texts::ManualNotice()), Button(L"OK", L"Alt+O")}));
}

TEST_F(AccessTest, ClosingButtonIsDescribedByItsTooltipAndThePictureIsNotRead) {
  frmOption& closing = runtime.Instance<frmOption>();
  closing.Load();
  ASSERT_TRUE(IsWindowVisible(Hwnd(closing)));
  const Window w = ReadWindow(Hwnd(closing));
  Print("frmOption", w);
  EXPECT_EQ(w.self.name, L"Range of our products ...");
  EXPECT_EQ(w.self.role, ROLE_SYSTEM_CLIENT);
  ASSERT_EQ(w.children.size(), 1u);
  EXPECT_EQ(w.children[0].role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(w.children[0].name, L"Ende");
  EXPECT_EQ(w.children[0].shortcut, L"Alt+E");
  EXPECT_EQ(w.children[0].description, L"Viel Spa\u00DF beim Spielen!");
  ExpectFocusOn(Hwnd(closing), "Range of our products ...", L"Ende");
  closing.Unload();
}

TEST_F(AccessTest, WelcomeScreenHasNothingToRead) {
  Welcome& welcome = runtime.Instance<Welcome>();
  welcome.Load();
  const Window w = ReadWindow(Hwnd(welcome));
  Print("frmAcrobat", w);
  EXPECT_EQ(w.self.name, L"Willkommen zur Mirelund Installation.");
  EXPECT_EQ(w.self.role, ROLE_SYSTEM_CLIENT);
  EXPECT_TRUE(w.children.empty());
}

// The presenters set the text before each showing, after the window is
// built; a client reads the text of the moment, blanks and "&" included.
TEST_F(AccessTest, LabelTextFollowsEveryCaptionChange) {
  frmYesNo& box = runtime.Instance<frmYesNo>();
  box.Load();
  const HWND label = GetWindow(Hwnd(box), GW_CHILD);
  IAccessible* a = nullptr;
  for (HWND child = label; child && !a; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (std::wstring(cls) == L"Static") a = ClientOf(child);
  }
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(ReadOf(a).name, Widen1252(kT3));
  for (const std::string& text : {std::string("  Vor dem Spielen &Sound   "), std::string(), forms::texts::SoundNotice()}) {
    box.Label1().SetCaption(text);
    EXPECT_EQ(ReadOf(a).name, Widen1252(text));
    EXPECT_EQ(ReadWindow(Hwnd(box)).children.front(), Label(text));
  }
  a->Release();
  box.Unload();
}

}  // namespace
