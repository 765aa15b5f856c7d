// The window side of the key-latency benchmark: a window of its own with one
// default button, whose load handler runs the setup's busy wait (Now() and
// DoEvents() until the wait is over or the button was clicked) once per
// expected key press. The click handler writes "clicked NANOS" (CLOCK_MONOTONIC)
// to stdout at once, for key_sender to pair with the moment it pressed Return.
// The Windows build (run under wine) has no CLOCK_MONOTONIC and writes only
// "clicked": key_sender then takes the moment it reads the line.
//
//   key_wait_window PRESSES
//
// With --deadlines N it instead runs the same busy wait N times, for 0.3 s
// and 7 ms more each time, with no input, and prints how late each wait saw
// its deadline passed ("late MS"): the idle wait between two polls delays
// the end of the wait.
//
//   key_wait_window --deadlines N
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#ifndef _WIN32
#include "bench/pixel_watch.h"
#endif
#include "runtime/form.h"
#include "runtime/platform.h"
#include "runtime/runtime.h"

namespace {

constexpr std::int64_t kWaitSeconds = SEQUENCE_WAIT_SECONDS;  // as after the Acrobat Reader setup
constexpr std::uint8_t kButton = 1;

constexpr rt::ControlDef kControls[] = {
    {.id = kButton, .name = "cmdWeiter", .kind = rt::ControlKind::kButton, .left = 1560, .top = 1200,
     .width = 1215, .height = 375, .caption = "&Weiter", .tab_index = 0, .is_default = rt::True},
};

constexpr rt::WindowDef kWindow{
    .name = "frmKeyWait",
    .caption = "Key latency bench",
    .client_left = 0,
    .client_top = 0,
    .client_width = 4335,
    .client_height = 2100,
    .controls = kControls,
};

constexpr std::int64_t kDeadlineMicros = 300'000, kDeadlineStepMicros = 7'000;

class KeyWaitWindow final : public rt::Form {
 public:
  KeyWaitWindow(rt::Runtime& runtime, int presses, int deadlines)
      : rt::Form(runtime, kWindow), presses_(presses), deadlines_(deadlines) {}

 protected:
  void Form_Load() override {
    SetVisible(rt::True);
    if (deadlines_ > 0) {
      MeasureDeadlines();
      Unload();
      return;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 0; i < presses_; ++i) {
      clicked_ = false;
      const rt::Time start = runtime().Now();
      Screen().SetMousePointer(rt::kPointerHourglass);
      for (;;) {
        const rt::Time now = runtime().Now();
        if (!rt::EarlierThan(now, rt::AddSeconds(start, kWaitSeconds)) || clicked_) break;
        runtime().DoEvents();
      }
      Screen().SetMousePointer(rt::kPointerDefault);
      if (!clicked_) {
        std::printf("timeout\n");
        std::fflush(stdout);
        break;
      }
    }
    Unload();
  }

  void MeasureDeadlines() {
    for (int i = 0; i < deadlines_; ++i) {
      // Each wait a little longer than the last: its deadline falls at a
      // different point of the idle waits each time.
      const rt::Time end{runtime().Now().micros + kDeadlineMicros + i * kDeadlineStepMicros};
      rt::Time now;
      for (;;) {
        now = runtime().Now();
        if (!rt::EarlierThan(now, end)) break;
        runtime().DoEvents();
      }
      std::printf("late %.3f\n", static_cast<double>(now.micros - end.micros) / 1000);
    }
    std::fflush(stdout);
  }

  void Click(std::uint8_t control_id) override {
    if (control_id != kButton) return;
#ifdef _WIN32
    std::printf("clicked\n");
#else
    std::printf("clicked %lld\n", static_cast<long long>(bench::MonotonicNanos()));
#endif
    std::fflush(stdout);
    clicked_ = true;
  }

 private:
  int presses_;
  int deadlines_;
  bool clicked_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const bool deadlines = argc > 2 && std::string_view(argv[1]) == "--deadlines";
  const int count = argc > 1 ? std::max(1, std::atoi(argv[deadlines ? 2 : 1])) : 20;
  const auto backend = rt::CreatePlatformBackend();
  rt::Runtime runtime(*backend);
  KeyWaitWindow window(runtime, deadlines ? 0 : count, deadlines ? count : 0);
  return runtime.RunWith([&] { window.Load(); });
}
