// The window side of the dialog benchmark for a build whose screen a thread
// of its own cannot read (the Windows build under wine): presents frmYesNo
// with the manual notice as the setup does, at a fixed cadence, and says on
// stdout when, for dialog_watch to watch the X screen it is drawn on.
//
//   dialog_cycle ITERATIONS
//
// Lines: "bare" (nothing of it is shown), "settled" (the dialog has been on
// the screen for a second), then per iteration "load" just before the dialog
// is loaded and "shown MS" (Load to Show's return) after it is shown; each
// stays 250 ms, then is unloaded for 250 ms; "end".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/manual_notice.h"
#include "dialogs/frmYesNo.h"
#include "forms/texts.h"
#include "runtime/platform.h"
#include "runtime/runtime.h"

namespace {

constexpr int kClientLeft = 100, kClientTop = 100;  // pixels: where dialog_watch looks
constexpr auto kShown = std::chrono::milliseconds(250);
constexpr auto kGone = std::chrono::milliseconds(250);

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

void Present(rt::Runtime& runtime, frmYesNo& w, const std::string& message) {
  bench::PresentManualNotice(runtime, w, message, kClientLeft, kClientTop);
}

void Pump(rt::Runtime& runtime, std::chrono::steady_clock::duration d) {
  const auto until = std::chrono::steady_clock::now() + d;
  while (std::chrono::steady_clock::now() < until) runtime.DoEvents();
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  const auto backend = rt::CreatePlatformBackend();
  rt::Runtime runtime(*backend);
  frmYesNo& dialog = runtime.Instance<frmYesNo>();
  const std::string message = forms::texts::ManualNotice();
  return runtime.RunWith([&] {
    Say("bare");
    Pump(runtime, kGone);
    Present(runtime, dialog, message);
    Pump(runtime, std::chrono::seconds(1));
    Say("settled");
    Pump(runtime, kShown);
    dialog.Unload();
    Pump(runtime, kGone);
    for (int i = 0; i < iterations; ++i) {
      Say("load");
      const auto t0 = std::chrono::steady_clock::now();
      Present(runtime, dialog, message);
      const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
      std::printf("shown %.3f\n", took.count());
      std::fflush(stdout);
      Pump(runtime, kShown);
      dialog.Unload();
      Pump(runtime, kGone);
    }
    Say("end");
  });
}
