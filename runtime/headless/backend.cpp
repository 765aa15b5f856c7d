// The headless backend: windows as records, the screen the test set,
// program starts and error messages recorded, and the program's end.
#include "runtime/headless/backend.h"

#include "runtime/control.h"
#include "runtime/form.h"

namespace rt::headless {

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::SetScreen(ScreenMetrics screen) {
  screen_ = screen;
  if (screen.twips_per_pixel_x > 0) fonts_.SetDpi(kTwipsPerInch / screen.twips_per_pixel_x);
}

FrameInsets HeadlessBackend::Frame(const Form& window) {
  return window.Maximized() ? FrameInsets{} : dialog_frame_;
}

// --- Windows ------------------------------------------------------------

Form* HeadlessBackend::FindWindow(std::string_view name) const {
  const auto it = windows_.find(name);
  return it == windows_.end() ? nullptr : it->second.form;
}

const WindowRecord* HeadlessBackend::Record(std::string_view name) const {
  const auto it = windows_.find(name);
  return it == windows_.end() ? nullptr : &it->second;
}

void HeadlessBackend::CreateWindow(Form& window) {
  WindowRecord& r = windows_[std::string(window.Name())];
  r = WindowRecord{};
  r.form = &window;
  r.name = window.Name();
  window.native = &r;
  Note("create " + r.name);
}

void HeadlessBackend::DestroyWindow(Form& window) {
  Note("destroy " + std::string(window.Name()));
  windows_.erase(std::string(window.Name()));
  window.native = nullptr;
}

void HeadlessBackend::ShowWindow(Form& window, Form* owner, bool modal) {
  auto* r = static_cast<WindowRecord*>(window.native);
  if (!r->shown) r->shown_at = now_;
  r->shown = true;
  r->modal = modal;
  r->owner = owner ? std::string(owner->Name()) : std::string();
  ++r->shows;
  Note("show " + r->name + (modal ? " modal" : "") + (owner ? " owner " + r->owner : ""));
}

void HeadlessBackend::EnableWindow(Form& window, bool enabled) {
  static_cast<WindowRecord*>(window.native)->enabled = enabled;
}

void HeadlessBackend::MoveWindow(Form&) {}
void HeadlessBackend::UpdateControl(Control& control) {
  ++static_cast<WindowRecord*>(control.Parent().native)->control_updates;
}
void HeadlessBackend::SetFocus(Form&, Control*) {}

void HeadlessBackend::SetPointer(int pointer) {
  pointer_ = pointer;
  pointers_.push_back({pointer, now_});
}

// --- Services -----------------------------------------------------------

Long HeadlessBackend::StartProgram(std::string_view command_line, Long show_mode) {
  starts_.push_back({std::string(command_line), show_mode, now_});
  Note("start " + std::string(command_line));
  return start_result_;
}

void HeadlessBackend::ShowErrorMessage(std::string_view text) {
  errors_.emplace_back(text);
  Note("error");
}

void HeadlessBackend::Terminate(int status) { throw Terminated{status}; }

}  // namespace rt::headless
