// The window side of the key-latency benchmark: a window of its own with one
// default button, whose load handler runs the setup's busy wait (Now() and
// DoEvents() until 20 s have passed or the button was clicked) once per
// expected key press. The click handler writes "clicked NANOS" (CLOCK_MONOTONIC)
// to stdout at once, for key_sender to pair with the moment it pressed Return.
//
//   key_wait_window PRESSES
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/pixel_watch.h"
#include "runtime/form.h"
#include "runtime/platform.h"
#include "runtime/runtime.h"

namespace {

constexpr std::int64_t kWaitSeconds = 20;  // as after the Acrobat Reader setup
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

class KeyWaitWindow final : public rt::Form {
 public:
  KeyWaitWindow(rt::Runtime& runtime, int presses) : rt::Form(runtime, kWindow), presses_(presses) {}

 protected:
  void Form_Load() override {
    SetVisible(rt::True);
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

  void Click(std::uint8_t control_id) override {
    if (control_id != kButton) return;
    std::printf("clicked %lld\n", static_cast<long long>(bench::MonotonicNanos()));
    std::fflush(stdout);
    clicked_ = true;
  }

 private:
  int presses_;
  bool clicked_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const auto backend = rt::CreatePlatformBackend();
  rt::Runtime runtime(*backend);
  KeyWaitWindow window(runtime, presses);
  return runtime.RunWith([&] { window.Load(); });
}
