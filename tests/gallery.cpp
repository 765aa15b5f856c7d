// Shows one window of the program on the current display, as the program
// would, for looking at it and for the display tests. Prints each button
// clicked (with the window's position in twips at that moment) and, once the
// window is unloaded, the main window's members the dialogs answer in.
//
//   gallery WINDOW [--ok-only] [--message TEXT | --message-file FILE |
//                   --preset manual|game|sound|not-found|not-started]
//                  [--at LEFT,TOP] [--click-recaptions TEXT | --click-fails] [--layout]
//
// --layout: before the window shows, prints its client area ("client W H")
// and each control ("NAME X Y W H shown|hidden TAB_INDEX"), in pixels as the runtime
// placed them, for the display tests to check the screen against.
// --click-recaptions: a click sets Label1's caption to TEXT instead of
// answering; --click-fails: a click raises a run-time error (the standard
// error box, then exit status 1).
//
// WINDOW is frmAcrobat (the welcome window, fitted to the screen, without
// the setup), frmMsgBox, frmYesNo, frmNewBox or frmOption.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "dialogs/frmMsgBox.h"
#include "dialogs/frmNewBox.h"
#include "dialogs/frmOption.h"
#include "dialogs/frmYesNo.h"
#include "forms/texts.h"
#include "runtime/error.h"
#include "runtime/fltk/encoding.h"
#include "runtime/platform.h"
#include "runtime/runtime.h"
#include "setup/frmAcrobat.h"
#include "setup/presenters.h"

namespace {

struct Options {
  std::string window;
  bool ok_only = false;
  std::optional<std::string> message;  // Windows-1252
  std::optional<std::pair<double, double>> at;
  std::optional<std::string> click_recaptions;  // Windows-1252
  bool click_fails = false;
  bool layout = false;
};
Options g_options;

// Reports each click before the window's own handler runs.
template <class Base>
class Reporting : public Base {
 public:
  using Base::Base;

 protected:
  void Click(std::uint8_t id) override {
    rt::Control& c = this->Ctl(id);
    std::printf("click %.*s at %g,%g\n", static_cast<int>(c.Name().size()), c.Name().data(),
                static_cast<double>(this->Left()), static_cast<double>(this->Top()));
    std::fflush(stdout);
    if (g_options.click_fails) rt::Raise(rt::ErrorNumber::kInvalidProcedureCall, "gallery --click-fails");
    rt::Control* label = this->FindControl("Label1");
    if (g_options.click_recaptions && label) label->SetCaption(*g_options.click_recaptions);
    else Base::Click(id);
  }
};

// The welcome window as its load handler leaves it, without the setup.
class WelcomeOnly : public frmAcrobat {
 public:
  using frmAcrobat::frmAcrobat;

 protected:
  void Form_Load() override { FitToScreen(); }
};

[[noreturn]] void Usage(const std::string& why) {
  std::fprintf(stderr,
               "gallery: %s\nusage: gallery frmAcrobat|frmMsgBox|frmYesNo|frmNewBox|frmOption [--ok-only]\n"
               "        [--message TEXT | --message-file FILE | --preset manual|game|sound] [--at LEFT,TOP]\n"
               "        [--click-recaptions TEXT | --click-fails] [--layout]\n",
               why.c_str());
  std::exit(2);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Usage("cannot read " + path);
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!s.empty() && s.back() == '\n') s.pop_back();
  if (!s.empty() && s.back() == '\r') s.pop_back();
  return s;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(std::string(a) + " needs a value");
      return argv[++i];
    };
    if (a == "--ok-only") {
      o.ok_only = true;
    } else if (a == "--message") {
      o.message = rt::fltk::Utf8ToWindows1252(value());
    } else if (a == "--message-file") {
      o.message = ReadFile(value());
    } else if (a == "--preset") {
      const std::string p = value();
      if (p == "manual") o.message = forms::texts::ManualNotice();
      else if (p == "game") o.message = forms::texts::GameQuestion();
      else if (p == "sound") o.message = forms::texts::SoundNotice();
      else if (p == "not-found") o.message = forms::texts::SetupNotStarted("Acrobat\\Setup.exe", true);
      else if (p == "not-started") o.message = forms::texts::SetupNotStarted("Data\\Subset.exe", false);
      else Usage("unknown preset " + p);
    } else if (a == "--at") {
      std::istringstream in(value());
      double l = 0, t = 0;
      char comma = 0;
      if (!(in >> l >> comma >> t) || comma != ',') Usage("--at wants LEFT,TOP in twips");
      o.at = std::make_pair(l, t);
    } else if (a == "--click-recaptions") {
      o.click_recaptions = rt::fltk::Utf8ToWindows1252(value());
    } else if (a == "--click-fails") {
      o.click_fails = true;
    } else if (a == "--layout") {
      o.layout = true;
    } else if (!a.empty() && a[0] != '-' && o.window.empty()) {
      o.window = a;
    } else {
      Usage("unexpected " + std::string(a));
    }
  }
  if (o.window.empty()) Usage("which window?");
  return o;
}

// Loads, adjusts and shows the window; returns once it is unloaded (a window
// that shows itself from its load handler is left to the runtime's loop).
template <class F>
void Present(F& w, const Options& o) {
  w.Load();
  if constexpr (requires { w.Label1(); w.Command3(); }) {
    if (o.message) w.Label1().SetCaption(*o.message);
    if (o.ok_only) ShowOnlyOk(w);
  } else if (o.message || o.ok_only) {
    Usage("only frmYesNo and frmNewBox take a message or --ok-only");
  }
  if (o.at) {
    w.SetLeft(static_cast<rt::Single>(o.at->first));
    w.SetTop(static_cast<rt::Single>(o.at->second));
  }
  if (o.layout) {
    std::printf("client %d %d\n", w.ClientWidthPx(), w.ClientHeightPx());
    for (const auto& c : w.Controls()) {
      const rt::PixelRect& r = c->Rect();
      std::printf("%.*s %d %d %d %d %s %d\n", static_cast<int>(c->Name().size()), c->Name().data(), r.x, r.y,
                  r.width, r.height, rt::IsTrue(c->Visible()) ? "shown" : "hidden", static_cast<int>(c->def().tab_index));
    }
    std::fflush(stdout);
  }
  if (!rt::IsTrue(w.Visible())) w.Show(1);
}

}  // namespace

int main(int argc, char** argv) {
  g_options = Parse(argc, argv);
  const Options& o = g_options;
  const auto backend = rt::CreatePlatformBackend();
  rt::Runtime runtime(*backend);
  frmAcrobat* main_window = nullptr;
  const int status = runtime.RunWith([&] {
    if (o.window == "frmAcrobat") {
      main_window = &runtime.Instance<WelcomeOnly>();
      Present(*main_window, o);
      return;
    }
    main_window = &runtime.Instance<frmAcrobat>();
    if (o.window == "frmMsgBox") Present(runtime.Instance<Reporting<frmMsgBox>>(), o);
    else if (o.window == "frmYesNo") Present(runtime.Instance<Reporting<frmYesNo>>(), o);
    else if (o.window == "frmNewBox") Present(runtime.Instance<Reporting<frmNewBox>>(), o);
    else if (o.window == "frmOption") Present(runtime.Instance<Reporting<frmOption>>(), o);
    else Usage("unknown window " + o.window);
  });
  if (main_window)
    std::printf("blnAcrobat=%d blnResult=%d\n", main_window->blnAcrobat, main_window->blnResult);
  return status;
}
