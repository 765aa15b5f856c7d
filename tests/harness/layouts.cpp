// Where the program puts each of its windows and their controls on a screen
// of a given size, for the display tests to check the screen against: the
// whole launcher on the headless backend, along each walk of the tests'
// table (tests/sequence/walks.txt). The windows' own code places them, so a
// changed definition moves the tests' figures with it.
//
//   layouts WIDTHxHEIGHT [LEFT,TOP,RIGHT,BOTTOM]
//
// The frame (pixels a window manager adds around a dialog's client area)
// is 0 unless given. For the welcome window ("welcome") and each step of the
// program's own windows, the first time a walk comes to it, it prints
//   STEP frame X Y W H            the outer frame on the screen, pixels
//   STEP client X Y W H           the client area on the screen
//   STEP NAME X Y W H shown|hidden TAB_INDEX CAPTION   each control, in the
//     client area; the caption as shown, for buttons ("-" for the rest)
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "dialogs/frmMsgBox.h"
#include "dialogs/frmNewBox.h"
#include "dialogs/frmOption.h"
#include "dialogs/frmYesNo.h"
#include "runtime/headless/backend.h"
#include "runtime/runtime.h"
#include "setup/frmAcrobat.h"
#include "tests/sequence/walks.h"

namespace {

using rt::headless::HeadlessBackend;

HeadlessBackend::Action Print(const char* step, const char* window, rt::FrameInsets frame) {
  return [=](HeadlessBackend& b) {
    rt::Form* f = b.FindWindow(window);
    if (!f) {
      std::fprintf(stderr, "layouts: no %s at the %s\n", window, step);
      std::exit(1);
    }
    // A maximized window covers the screen, frameless.
    const bool max = f->Maximized();
    const rt::FrameInsets in = max ? rt::FrameInsets{} : frame;
    const int x = max ? 0 : f->LeftPx(), y = max ? 0 : f->TopPx();
    const int w = max ? b.Screen().width_px : f->ClientWidthPx(), h = max ? b.Screen().height_px : f->ClientHeightPx();
    std::printf("%s frame %d %d %d %d\n", step, x, y, w + in.left + in.right, h + in.top + in.bottom);
    std::printf("%s client %d %d %d %d\n", step, x + in.left, y + in.top, w, h);
    for (const auto& c : f->Controls()) {
      const rt::PixelRect& r = c->Rect();
      const std::string caption = c->IsButton() ? c->ButtonText().shown : "-";
      std::printf("%s %.*s %d %d %d %d %s %d %s\n", step, static_cast<int>(c->Name().size()), c->Name().data(),
                  r.x, r.y, r.width, r.height, rt::IsTrue(c->Visible()) ? "shown" : "hidden",
                  static_cast<int>(c->def().tab_index), caption.c_str());
    }
  };
}

}  // namespace

int main(int argc, char** argv) {
  int width = 0, height = 0;
  rt::FrameInsets frame;
  if (argc < 2 || argc > 3 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2 ||
      (argc == 3 &&
       std::sscanf(argv[2], "%d,%d,%d,%d", &frame.left, &frame.top, &frame.right, &frame.bottom) != 4)) {
    std::fprintf(stderr, "usage: layouts WIDTHxHEIGHT [LEFT,TOP,RIGHT,BOTTOM]\n");
    return 2;
  }
  std::set<std::string> printed;
  std::set<std::string> names;
  for (const walks::Step& s : walks::Read()) names.insert(s.walk);
  for (const std::string& walk : names) {
    HeadlessBackend b;
    rt::Runtime runtime(b);
    b.SetScreen({width, height, 15, 15});
    b.SetDialogFrame(frame);
    if (printed.insert("welcome").second) b.Then(Print("welcome", "frmAcrobat", frame));
    walks::Script(b, walk, [&](const walks::Step& s, HeadlessBackend& backend) {
      if (printed.insert(s.step).second) Print(s.step.c_str(), s.form.c_str(), frame)(backend);
    });
    if (const int status = b.Run([&] { return runtime.Run<frmAcrobat>(); }); status != 0) {
      std::fprintf(stderr, "layouts: the walk %s ended with status %d: does the table match the program?\n",
                   walk.c_str(), status);
      return status;
    }
  }
  std::fflush(stdout);
  return 0;
}
