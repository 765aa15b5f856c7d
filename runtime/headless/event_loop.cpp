// The event loop: the script of user input, a step run each time the
// program waits, and the fake clock, which moves only when it waits or polls.
#include "runtime/control.h"
#include "runtime/form.h"
#include "runtime/headless/backend.h"

namespace rt::headless {

// --- Script -------------------------------------------------------------

HeadlessBackend& HeadlessBackend::Then(Action action, std::int64_t delay_micros) {
  script_.push_back({std::move(action), delay_micros});
  return *this;
}

HeadlessBackend& HeadlessBackend::Click(std::string window, std::string control, std::int64_t delay) {
  return Then(
      [window, control, delay](HeadlessBackend& b) {
        Form* f = b.FindWindow(window);
        Control* c = f ? f->FindControl(control) : nullptr;
        b.Note("click " + window + "." + control + (c ? "" : " (no such window or control)"));
        if (!c) return;
        b.PaceClick(window, delay);
        b.sink_->OnClick(*c, b.now_);
      },
      delay);
}

HeadlessBackend& HeadlessBackend::ClickButton(std::string window, std::string caption, std::int64_t delay) {
  return Then(
      [window, caption, delay](HeadlessBackend& b) {
        Form* f = b.FindWindow(window);
        Control* button = nullptr;
        if (f)
          for (const auto& c : f->Controls())
            if (c->IsButton() && c->Caption() == caption) button = c.get();
        b.Note("click " + window + " \"" + caption + "\"" + (button ? "" : " (no such window or button)"));
        if (!button) return;
        b.PaceClick(window, delay);
        b.sink_->OnClick(*button, b.now_);
      },
      delay);
}

HeadlessBackend& HeadlessBackend::ClickAt(std::string window, int x, int y, std::int64_t delay) {
  return Then(
      [window, x, y, delay](HeadlessBackend& b) {
        Form* f = b.FindWindow(window);
        b.Note("click " + window + " at " + std::to_string(x) + "," + std::to_string(y));
        if (!f) return;
        b.PaceClick(window, delay);
        // Buttons lie in front of everything; among them the earlier in front.
        for (const auto& c : f->Controls()) {
          const PixelRect& r = c->Rect();
          if (c->IsButton() && IsTrue(c->Visible()) && x >= r.x && x < r.x + r.width && y >= r.y &&
              y < r.y + r.height) {
            b.sink_->OnClick(*c, b.now_);
            return;
          }
        }
      },
      delay);
}

HeadlessBackend& HeadlessBackend::Press(std::string window, KeyInput key, std::int64_t delay) {
  return Then(
      [window, key](HeadlessBackend& b) {
        b.Note("key " + window);
        if (Form* f = b.FindWindow(window)) b.sink_->OnKey(*f, key);
      },
      delay);
}

HeadlessBackend& HeadlessBackend::Close(std::string window, std::int64_t delay) {
  return Then(
      [window](HeadlessBackend& b) {
        b.Note("close " + window);
        if (Form* f = b.FindWindow(window)) b.sink_->OnCloseRequest(*f);
      },
      delay);
}

HeadlessBackend& HeadlessBackend::Drag(std::string window, int left_px, int top_px, std::int64_t delay) {
  return Then(
      [window, left_px, top_px](HeadlessBackend& b) {
        b.Note("drag " + window);
        if (Form* f = b.FindWindow(window)) b.sink_->OnMoved(*f, left_px, top_px);
      },
      delay);
}

void HeadlessBackend::PaceClick(std::string_view window, std::int64_t delay) {
  const WindowRecord* r = Record(window);
  if (delay != 0 || !r || !r->shown) return;
  const Time seen{r->shown_at.micros + kDoubleClickMicros};
  if (now_ < seen) now_ = seen;
  last_step_ = now_;
}

void HeadlessBackend::RunStep() {
  Step step = std::move(script_.front());
  script_.pop_front();
  const Time due{last_step_.micros + step.delay};
  if (now_ < due) now_ = due;
  last_step_ = now_;
  step.action(*this);
}

int HeadlessBackend::Run(const std::function<int()>& program) {
  try {
    return program();
  } catch (const Terminated& t) {
    return t.status;
  }
}

// --- Event loop ---------------------------------------------------------

void HeadlessBackend::WaitEvents() {
  if (script_.empty()) throw ScriptExhausted("the program waits for input, but the script has no step left");
  RunStep();
}

void HeadlessBackend::ProcessPendingEvents() {
  ++polls_;
  // Only timed steps happen while the program is busy; the others wait
  // until it blocks for input.
  if (!script_.empty() && script_.front().delay > 0 && Time{last_step_.micros + script_.front().delay} <= now_) {
    RunStep();
    return;
  }
  now_.micros += kIdleStepMicros;
}

}  // namespace rt::headless
