// The runtime's standard error message: one modal box with the text, an error
// sign and an OK button, centred on the screen. While it is up FLTK lets no
// other window of the program take input.
#include <algorithm>
#include <string>

#include "runtime/fltk/backend.h"
#include "runtime/fltk/colours.h"
#include "runtime/fltk/encoding.h"
#include "runtime/fltk/windows.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

namespace rt::fltk {

namespace {

constexpr const char* kTitle = "Mirelund";
constexpr int kMargin = 16, kSign = 32, kTextWidth = 360, kButtonW = 88, kButtonH = 26;

// A red disc with a white cross, the classic error sign.
class ErrorSign final : public Fl_Widget {
 public:
  ErrorSign(int x, int y) : Fl_Widget(x, y, kSign, kSign) {}
  void draw() override {
    fl_color(fl_rgb_color(200, 0, 0));
    fl_pie(x(), y(), w(), h(), 0, 360);
    fl_color(FL_WHITE);
    fl_line_style(FL_SOLID, 3);
    const int m = w() / 3;
    fl_line(x() + m, y() + m, x() + w() - m, y() + h() - m);
    fl_line(x() + w() - m, y() + m, x() + m, y() + h() - m);
    fl_line_style(0);
  }
};

void Close(Fl_Widget* w, void*) { w->window()->hide(); }

}  // namespace

void FltkBackend::ShowErrorMessage(std::string_view text) {
  for (FormWindow* w : windows_) w->SetEnabled(false);
  // Windows line ends would show as control characters.
  std::string utf8;
  for (char c : Windows1252ToUtf8(text))
    if (c != '\r') utf8 += c;
  fl_font(FL_HELVETICA, 13);
  int tw = kTextWidth, th = 0;
  fl_measure(utf8.c_str(), tw, th, 0);
  tw = std::max(tw, 160);
  th = std::max(th, kSign);
  const int W = kMargin * 3 + kSign + tw;
  const int H = kMargin * 3 + th + kButtonH;
  const Monitor& screen = ProgramScreen();
  const int sx = screen.x, sy = screen.y, sw = screen.width, sh = screen.height;

  // No dotted focus on OK. Set here, not at start-up: FLTK reads and
  // rewrites its preference files the first time any option is touched.
  Fl::visible_focus(0);
  Fl_Window box(sx + (sw - W) / 2, sy + (sh - H) / 2, W, H, kTitle);
  const Rgb face = SystemColour(kSysColourButtonFace);
  box.color(fl_rgb_color(face.r, face.g, face.b));
  new ErrorSign(kMargin, kMargin);
  auto* label = new Fl_Box(kMargin * 2 + kSign, kMargin, tw, th);
  label->label(utf8.c_str());
  label->labelfont(FL_HELVETICA);
  label->labelsize(13);
  label->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  auto* ok = new Fl_Return_Button((W - kButtonW) / 2, H - kMargin - kButtonH, kButtonW, kButtonH, "OK");
  ok->callback(Close);
  box.end();
  box.callback(Close);
  box.icon(&StandardIcon());
  box.set_modal();
  box.show();
  TellAlert(&box, utf8.c_str(), label, ok);
  while (box.shown()) Fl::wait();
  TellAlert(nullptr, nullptr, nullptr, nullptr);
}

}  // namespace rt::fltk
