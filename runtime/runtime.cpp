// Default instances, the modal stack, input dispatch and the program's end.
#include "runtime/runtime.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "runtime/form.h"
#include "runtime/vbmath.h"

namespace rt {

namespace {
Runtime* g_current = nullptr;
}

// --- Screen -------------------------------------------------------------

ScreenMetrics ScreenObject::Metrics() {
  const ScreenMetrics m = runtime_.backend().Screen();
  if (m.width_px <= 0 || m.height_px <= 0)
    Raise(ErrorNumber::kInvalidProcedureCall, "the screen reports no size");
  if (!(m.twips_per_pixel_x >= 0) || !(m.twips_per_pixel_y >= 0) || !std::isfinite(m.twips_per_pixel_x) ||
      !std::isfinite(m.twips_per_pixel_y))
    Raise(ErrorNumber::kInvalidProcedureCall, "the screen reports no usable twips per pixel");
  return m;
}

Single ScreenObject::Width() {
  const ScreenMetrics m = Metrics();
  return CSng(m.width_px * static_cast<double>(m.twips_per_pixel_x));
}

Single ScreenObject::Height() {
  const ScreenMetrics m = Metrics();
  return CSng(m.height_px * static_cast<double>(m.twips_per_pixel_y));
}

Single ScreenObject::TwipsPerPixelX() { return Metrics().twips_per_pixel_x; }
Single ScreenObject::TwipsPerPixelY() { return Metrics().twips_per_pixel_y; }

int ScreenObject::PixelsX(double twips) { return CLng(Div(twips, Metrics().twips_per_pixel_x)); }
int ScreenObject::PixelsY(double twips) { return CLng(Div(twips, Metrics().twips_per_pixel_y)); }

void ScreenObject::SetMousePointer(int pointer) {
  pointer_ = pointer;
  runtime_.backend().SetPointer(pointer);
}

// --- Runtime ------------------------------------------------------------

Runtime::Runtime(Backend& backend) : backend_(backend), screen_(*this) {
  backend_.SetInputSink(*this);
  g_current = this;
}

Runtime::~Runtime() {
  // Native windows go before the backend that owns them.
  // By index: an unload handler may make another window's instance.
  for (std::size_t i = 0; i < instances_.size(); ++i)
    if (instances_[i].second->IsLoaded()) instances_[i].second->Unload();
  if (g_current == this) g_current = nullptr;
}

Runtime& Runtime::Current() {
  if (!g_current) Raise(ErrorNumber::kObjectRequired, "no window runtime");
  return *g_current;
}

int Runtime::RunWith(const std::function<void()>& start) {
  Guard(start);
  while (AnyLoaded()) Guard([this] { backend_.WaitEvents(); });
  return 0;
}

void Runtime::Guard(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    Fatal(e);
  } catch (const std::bad_alloc&) {
    Fatal(RuntimeError(ErrorNumber::kOutOfMemory));
  }
}

void Runtime::Fatal(const RuntimeError& error) {
  if (!fatal_) {
    fatal_ = true;  // from here on no input reaches the program
    backend_.ShowErrorMessage(error.text());
  }
  backend_.Terminate(kErrorExitStatus);
}

void Runtime::DoEvents() { backend_.ProcessPendingEvents(); }

Long Runtime::StartProgram(std::string_view command_line, Long show_mode) {
  return backend_.StartProgram(command_line, show_mode);
}

bool Runtime::AnyLoaded() const { return !loaded_.empty(); }

bool Runtime::AcceptsInput(const Form& window) const {
  if (fatal_ || !window.loaded_ || !window.visible_) return false;
  return modal_stack_.empty() || modal_stack_.back() == &window;
}

void Runtime::PushModal(Form& window) {
  modal_stack_.push_back(&window);
  UpdateEnabled();
}

void Runtime::PopModal(Form& window) {
  std::erase(modal_stack_, &window);
  UpdateEnabled();
}

void Runtime::UpdateEnabled() {
  for (Form* f : loaded_) {
    const bool enable = modal_stack_.empty() || modal_stack_.back() == f;
    const bool disabled = std::find(disabled_.begin(), disabled_.end(), f) != disabled_.end();
    if (enable == !disabled) continue;
    if (enable) std::erase(disabled_, f);
    else disabled_.push_back(f);
    if (f->created_) backend_.EnableWindow(*f, enable);
  }
}

void Runtime::OnClick(Control& button, Time pressed) {
  Guard([&] {
    Form& window = button.Parent();
    if (!AcceptsInput(window) || !button.IsButton() || !IsTrue(button.Visible())) return;
    if (!TakesPressAt(window, pressed)) return;
    window.DispatchClick(button, true);
  });
}

// All dialogs stand at one place: the second press of a double click on the
// window before must not answer the one shown under the pointer.
bool Runtime::TakesPressAt(const Form& window, Time pressed) {
  return pressed.micros - window.shown_at_.micros >= backend_.DoubleClickMicros();
}

void Runtime::OnKey(Form& window, KeyInput key) {
  Guard([&] {
    if (!AcceptsInput(window)) return;
    if (Control* button = window.ButtonForKey(key)) window.DispatchClick(*button, key.key == Key::kChar);
  });
}

void Runtime::OnCloseRequest(Form& window) {
  Guard([&] {
    // The start-up window runs the whole program from its load handler.
    if (!AcceptsInput(window) || window.InLoadHandler()) return;
    window.Unload();
  });
}

void Runtime::OnMoved(Form& window, int left_px, int top_px) {
  Guard([&] {
    if (window.IsLoaded()) window.Moved(left_px, top_px);
  });
}

}  // namespace rt
