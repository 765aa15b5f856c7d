// Program windows: drawing, placement, and the raw input they pass on.
#include "runtime/fltk/windows.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "runtime/fltk/backend.h"
#include "runtime/fltk/colours.h"
#include "runtime/fltk/encoding.h"
#include "runtime/fltk/keys.h"
#include "runtime/fltk/stacking.h"

// FLTK and X11 last: Xlib defines True and False as macros. Fl_X tells
// FLTK a window needs no Expose before it is drawn.
#define FL_INTERNALS
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

namespace rt::fltk {

namespace {

// A window manager maps a window at once; one that does not in a second
// is not waited for longer.
constexpr auto kMapTimeout = std::chrono::seconds(1);

}  // namespace

FormWindow::FormWindow(Form& form, FltkBackend& backend)
    : Fl_Double_Window(std::max(1, form.ClientWidthPx()), std::max(1, form.ClientHeightPx())),
      form_(&form),
      backend_(backend) {
  end();
  box(FL_NO_BOX);
  resizable(nullptr);  // fixed size; children keep their own rectangles
  title_ = Windows1252ToUtf8(form.Caption());
  label(title_.c_str());
  callback(&FormWindow::CloseRequested, this);
  if (form.SharedBackgroundPicture())
    background_ = std::make_unique<DrawablePicture>(form.SharedBackgroundPicture(), form.def().picture);

  switch (form.IconKindOf()) {
    case IconKind::kPicture:
      if (const Image* img = form.IconImage()) {
        PackedPixels p = Pack(*img);
        if (!p.bytes.empty()) {
          icon_pixels_ = std::move(p.bytes);
          icon_ = std::make_unique<Fl_RGB_Image>(icon_pixels_.data(), p.width, p.height, p.depth);
          icon(icon_.get());
        }
      }
      break;
    case IconKind::kStandard:
      icon(&backend.StandardIcon());
      break;
    case IconKind::kNone:
      break;
  }

  std::vector<ControlKind> kinds;
  for (const auto& c : form.Controls()) kinds.push_back(c->Kind());
  for (const auto& c : form.Controls()) {
    ControlView* v = MakeView(*c, backend.FontSet(), backend);
    views_.push_back(v);
    c->native = v;
  }
  for (std::size_t i : BackToFront(kinds)) add(views_[i]->Widget());
  for (ControlView* v : views_) v->Sync();
  Place();
}

FormWindow::~FormWindow() = default;

void FormWindow::Detach() {
  for (ControlView* v : views_) v->Detach();
  form_ = nullptr;
}

void FormWindow::Place() {
  if (!form_) return;
  placing_ = true;
  const Monitor& screen = backend_.ProgramScreen();
  if (form_->Maximized()) {
    border(0);
    resize(screen.x, screen.y, std::max(1, screen.width), std::max(1, screen.height));
  } else {
    resize(screen.x + form_->LeftPx(), screen.y + form_->TopPx(), std::max(1, form_->ClientWidthPx()),
           std::max(1, form_->ClientHeightPx()));
  }
  force_position(1);
  // FLTK puts its own rules back when the size changes.
  SetPlacementHints(*this, role_);
  placing_ = false;
}

void FormWindow::show() {
  if (shown()) {
    Fl_Double_Window::show();
    return;
  }
  role_.fullscreen = form_ && form_->Maximized();
  managed_ = MapsAreRedirected();
  CreateNativeWindow(*this, role_);
  XMapWindow(fl_display, fl_xid(this));
  if (!managed_) {
    // The server maps the window before it reads the next request: it can
    // be drawn without waiting for the Expose, and take the keyboard, as on
    // Windows a newly shown window does and no window manager would give.
    Fl_X::i(this)->wait_for_expose = 0;
    XSetInputFocus(fl_display, fl_xid(this), RevertToParent, CurrentTime);
  }
  set_visible();
  const int event = Fl::e_number;
  handle(Fl::e_number = FL_SHOW);
  Fl::e_number = event;
  redraw();
}

void FormWindow::ShowPlaced(unsigned long active) {
  const bool first = !shown();
  if (first) active_before_ = active;
  show();
  if (!first) return;
  // A window manager is asked again to keep the maximized window above its
  // panels; without one the borderless window already covers the screen.
  if (managed_ && form_ && form_->Maximized()) RequestFullscreen(fl_xid(this));
}

void FormWindow::Mapped() {
  if (std::exchange(mapped_, true) || !shown() || !managed_ || !form_) return;
  // A manager may have put a new window that is no dialog below a
  // full-screen one of ours, where no click of the user could reach it; on
  // Windows a newly shown window comes to the front.
  if (!role_.dialog) {
    RequestActivation(fl_xid(this), active_before_);
    return;
  }
  // pekwm puts a new window's client area where the frame was asked for,
  // though it takes a later move as the frame's, as the gravity says: the
  // place is asked for once more, as the dialog first shows.
  const Monitor& screen = backend_.ProgramScreen();
  const int left = screen.x + form_->LeftPx(), top = screen.y + form_->TopPx();
  FrameInsets f;
  int x = 0, y = 0;
  Window child = 0;
  if (MappedFrame(fl_xid(this), f) && (f.left || f.top) &&
      XTranslateCoordinates(fl_display, fl_xid(this), RootWindow(fl_display, fl_screen), 0, 0, &x, &y, &child) &&
      x == left && y == top)
    XMoveWindow(fl_display, fl_xid(this), left, top);
}

void FormWindow::WaitUntilMapped() {
  // Without a manager the server maps it before it reads the next request.
  if (!shown() || !managed_) return;
  const auto until = std::chrono::steady_clock::now() + kMapTimeout;
  while (!mapped_ && shown()) {
    const std::chrono::duration<double> left = until - std::chrono::steady_clock::now();
    if (left.count() <= 0) break;
    Fl::wait(left.count());
  }
}

void FormWindow::TakeKeyboard() {
  if (!shown() || !fl_xid(this) || managed_) return;
  XSync(fl_display, 0);
  XWindowAttributes a{};
  if (XGetWindowAttributes(fl_display, fl_xid(this), &a) && a.map_state == IsViewable)
    XSetInputFocus(fl_display, fl_xid(this), RevertToParent, CurrentTime);
}

void FormWindow::flush() {
  if (damage() & FL_DAMAGE_ALL) drawn_whole_at_ = NextRequest(fl_display);
  if (form_ && PictureCoversWindow(views_, w(), h())) Fl_Window::flush();
  else Fl_Double_Window::flush();
}

void FormWindow::resize(int X, int Y, int W, int H) {
  const bool moved = X != x() || Y != y();
  Fl_Double_Window::resize(X, Y, W, H);
  if (placing_ || !moved || !shown() || !form_ || form_->Maximized()) return;
  backend_.WindowMoved(*this, X, Y);
}

void FormWindow::KeyboardArrived() {
  if (form_ && !enabled_ && shown()) backend_.HandKeyboardOn(*this);
}

void FormWindow::SetFocus(const Control* button) {
  for (ControlView* v : views_) {
    auto* b = dynamic_cast<ButtonWidget*>(v);
    if (!b || !b->Source()) continue;
    const bool focused = b->Source() == button;
    const bool emphasised = focused || (button == nullptr && IsTrue(b->Source()->def().is_default));
    b->SetLook(focused, emphasised);
  }
}

ControlView* FormWindow::ViewOf(const Control& control) const {
  for (ControlView* v : views_)
    if (v->Source() == &control) return v;
  return nullptr;
}

void FormWindow::CloseRequested(Fl_Widget*, void* data) {
  auto* self = static_cast<FormWindow*>(data);
  if (self->form_ && self->enabled_) self->backend_.Sink().OnCloseRequest(*self->form_);
}

void FormWindow::HandleKey() {
  const char* text = Fl::event_text();
  const RawKey raw{Fl::event_key(), Fl::event_state(),
                   text ? std::string_view(text, static_cast<std::size_t>(std::max(0, Fl::event_length())))
                        : std::string_view()};
  const TranslatedKey t = TranslateKey(raw);
  // The core may unload this window: nothing of it is used afterwards.
  if (t.action == KeyAction::kKey) backend_.Sink().OnKey(*form_, t.input);
  else if (t.action == KeyAction::kClose) backend_.Sink().OnCloseRequest(*form_);
}

int FormWindow::handle(int event) {
  switch (event) {
    case FL_KEYBOARD:
    case FL_SHORTCUT:
      // Swallowed either way: FLTK's own navigation and Escape-closes must not
      // act. A key that reaches a blocked window belongs to the window that
      // blocks it, as the keyboard would have been there on Windows.
      if (form_ && enabled_) HandleKey();
      else if (FormWindow* top = form_ ? backend_.TopModal() : nullptr; top && top != this) top->HandleKey();
      return 1;
    case FL_KEYUP:
      return 1;
    case FL_PUSH:
    case FL_DRAG:
    case FL_MOUSEWHEEL:
      if (!form_ || !enabled_) return 1;
      break;
    default:
      break;
  }
  return Fl_Double_Window::handle(event);
}

void FormWindow::draw() {
  // Under a picture that covers the whole window nothing of its own shows.
  const bool covered = form_ && PictureCoversWindow(views_, w(), h());
  if (covered && background_) background_->Release();
  if ((damage() & ~FL_DAMAGE_CHILD) && !covered) {
    const Rgb back = form_ ? ToRgb(form_->BackColour()) : Rgb{};
    fl_color(fl_rgb_color(back.r, back.g, back.b));
    fl_rectf(0, 0, w(), h());
    if (background_ && form_) {
      fl_push_clip(0, 0, w(), h());
      background_->Draw(0, 0);
      fl_pop_clip();
    }
  }
  draw_children();
}

}  // namespace rt::fltk
