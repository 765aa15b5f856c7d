// The backend object: native windows created, shown, changed and destroyed
// from the core's state.
#include "runtime/fltk/backend.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/error.h"
#include "runtime/fltk/access.h"  // the members' teardown
#include "runtime/fltk/colours.h"
#include "runtime/fltk/program_folder.h"
#include "runtime/fltk/program_start.h"
#include "runtime/fltk/pictures.h"
#include "runtime/fltk/windows.h"
#include "runtime/fltk/wm.h"
#include "runtime/form.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/x.H>

namespace rt::fltk {

namespace {

constexpr int kStandardIconSize = 32;

// The display must be open before the fonts are registered and measured.
Dpi OpenDisplay() {
  fl_open_display();
  return ProgramDpi();
}

// A window that gets the keyboard focus hears of it after FLTK has done
// its own part.
int Dispatch(int event, Fl_Window* window) {
  auto* form_window = event == FL_FOCUS ? dynamic_cast<FormWindow*>(window) : nullptr;
  const int handled = Fl::handle_(event, window);
  if (form_window) form_window->KeyboardArrived();
  return handled;
}

// Sees the server's events before FLTK does. An Expose that was repaired
// before it is read would only draw the same pixels again; for a window a
// picture covers that is a pass over the screen.
int SeeEvent(void* event, void*) {
  const auto& e = *static_cast<const XEvent*>(event);
  if (e.type != Expose && e.type != MapNotify) return 0;
  auto* window = dynamic_cast<FormWindow*>(fl_find(e.xany.window));
  if (!window) return 0;
  if (e.type == MapNotify) {
    window->Mapped();
    return 0;
  }
  return window->Repaired(e.xexpose.serial) ? 1 : 0;
}

}  // namespace

FltkBackend::FltkBackend() : dpi_(OpenDisplay()), monitor_(ProgramMonitor()), fonts_(dpi_.x) {
  Fl::event_dispatch(&Dispatch);
  Fl::add_system_handler(&SeeEvent, nullptr);
  Fl_Image::RGB_scaling(FL_RGB_SCALING_BILINEAR);
  // Tooltips as Windows shows them: the standard font on pale yellow.
  Fl_Tooltip::font(fonts_.Face(kStandardFont));
  Fl_Tooltip::size(PixelSize(kStandardFont, fonts_.Dpi()));
  const Rgb back = SystemColour(kSysTooltipBack), text = SystemColour(kSysTooltipText);
  Fl_Tooltip::color(fl_rgb_color(back.r, back.g, back.b));
  Fl_Tooltip::textcolor(fl_rgb_color(text.r, text.g, text.b));
}

FltkBackend::~FltkBackend() {
  ForgetAccess();
  Fl::event_dispatch(nullptr);
  Fl::remove_system_handler(&SeeEvent);
  for (FormWindow* w : windows_) {
    w->Detach();
    w->hide();
    delete w;
  }
  windows_.clear();
  Fl::do_widget_deletion();
}

// Input that arrives before the core has connected goes nowhere; FLTK's
// callbacks must not see an exception.
InputSink& FltkBackend::Sink() {
  struct Nowhere final : InputSink {
    void OnClick(Control&, Time) override {}
    void OnKey(Form&, KeyInput) override {}
    void OnCloseRequest(Form&) override {}
    void OnMoved(Form&, int, int) override {}
  };
  static Nowhere nowhere;
  return sink_ ? *sink_ : nowhere;
}

const Fl_RGB_Image& FltkBackend::StandardIcon() {
  if (!standard_icon_) {
    standard_icon_pixels_ = StandardIconRgba(kStandardIconSize);
    standard_icon_ = std::make_unique<Fl_RGB_Image>(standard_icon_pixels_.data(), kStandardIconSize,
                                                    kStandardIconSize, 4);
  }
  return *standard_icon_;
}

FormWindow* FltkBackend::Find(const Form& form) const {
  auto* w = static_cast<FormWindow*>(form.native);
  return std::find(windows_.begin(), windows_.end(), w) != windows_.end() ? w : nullptr;
}

void FltkBackend::CreateWindow(Form& form) {
  if (Find(form)) DestroyWindow(form);
  auto* w = new FormWindow(form, *this);
  windows_.push_back(w);
  form.native = w;
  w->SetFocus(form.Focused());
  Tell(*w, Change::kChanged);
}

void FltkBackend::DestroyWindow(Form& form) {
  FormWindow* w = Find(form);
  form.native = nullptr;
  for (const auto& c : form.Controls()) c->native = nullptr;
  if (!w) return;
  Tell(*w, Change::kDestroyed);
  std::erase(windows_, w);
  w->Detach();
  w->hide();
  // Perhaps called from a click on one of its own buttons: FLTK deletes the
  // window once that callback has returned.
  Fl::delete_widget(w);
  // The keyboard goes back to the newest window left, as Windows activates it.
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if ((*it)->shown()) {
      (*it)->TakeKeyboard();
      Tell(**it, Change::kKeyboardBack);
      break;
    }
}

void FltkBackend::ShowWindow(Form& form, Form* owner, bool modal) {
  FormWindow* w = Find(form);
  if (!w) return;
  // The window the user was working in.
  FormWindow* active = nullptr;
  for (auto it = windows_.rbegin(); it != windows_.rend() && !active; ++it)
    if (*it != w && (*it)->shown() && (*it)->visible()) active = *it;
  // Above its owner; a modal window without one stays above the active
  // window, as on Windows.
  FormWindow* above = owner ? Find(*owner) : modal ? active : nullptr;
  WindowRole role;
  role.dialog = modal;
  if (above && above != w && above->shown()) role.above = fl_xid(above);
  w->SetRole(role);
  w->ShowPlaced(active ? fl_xid(active) : 0);
  // A window shown at once is on the screen when Show returns, before the
  // caller goes on to build the next window (the welcome screen before the
  // offer's fonts and pictures). A modal one is drawn by its own loop.
  if (!modal) w->WaitUntilMapped();
  Fl::flush();
  // Only now: the first pointer shape is read from the cursor theme's files.
  w->cursor(pointer_ == kPointerHourglass ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT);
  Tell(*w, Change::kShown);
}

void FltkBackend::EnableWindow(Form& form, bool enabled) {
  FormWindow* w = Find(form);
  if (!w) return;
  w->SetEnabled(enabled);
  Tell(*w, Change::kChanged);
}

void FltkBackend::MoveWindow(Form& form) {
  FormWindow* w = Find(form);
  if (!w) return;
  w->Place();
  Tell(*w, Change::kChanged);
}

void FltkBackend::UpdateControl(Control& control) {
  FormWindow* w = Find(control.Parent());
  if (!w) return;
  if (ControlView* v = w->ViewOf(control)) v->Sync();
  w->redraw();
  Tell(*w, Change::kChanged);
}

void FltkBackend::SetFocus(Form& form, Control* button) {
  FormWindow* w = Find(form);
  if (!w) return;
  w->SetFocus(button);
  Tell(*w, Change::kChanged);
}

void FltkBackend::SetPointer(int pointer) {
  pointer_ = pointer;
  const Fl_Cursor c = pointer == kPointerHourglass ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT;
  for (FormWindow* w : windows_)
    if (w->shown()) w->cursor(c);
  Fl::flush();
}

void FltkBackend::WindowMoved(FormWindow& window, int client_x, int client_y) {
  Form* form = window.form();
  if (!form) return;
  Tell(window, Change::kChanged);
  const FrameInsets f = Frame(*form);
  const int left = client_x - f.left - monitor_.x, top = client_y - f.top - monitor_.y;
  if (left == form->LeftPx() && top == form->TopPx()) return;  // where it was put
  Sink().OnMoved(*form, left, top);
}

FormWindow* FltkBackend::TopModal() const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if ((*it)->form() && (*it)->Enabled() && (*it)->shown() && (*it)->visible()) return *it;
  return nullptr;
}

void FltkBackend::HandKeyboardOn(FormWindow& blocked) {
  FormWindow* top = TopModal();
  if (top && top != &blocked && fl_xid(top)) GiveFocus(fl_xid(top), fl_xid(&blocked));
}

std::string FltkBackend::ProgramFolder() { return rt::fltk::ProgramFolder(); }

Long FltkBackend::StartProgram(std::string_view command_line, Long show_mode) {
  // The logic's command lines begin with the program folder, whose own
  // characters are no Windows separators.
  return rt::fltk::StartProgram(command_line, show_mode, ProgramFolder());
}

void FltkBackend::Terminate(int status) {
  CloseAll();
  std::exit(status);
}

void FltkBackend::CloseAll() {
  for (FormWindow* w : windows_) {
    w->Detach();
    w->hide();
  }
  Fl::flush();
}

}  // namespace rt::fltk
