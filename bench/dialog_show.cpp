// A dialog from its definition on the FLTK backend, as the setup presents its
// manual notice: load frmYesNo, put the message in, leave only OK, place it,
// show it, and unload it once it is on the screen; many times over.
//
//   dialog_show [ITERATIONS]   (on $DISPLAY, which must have no other window)
//
// A second thread with its own X connection takes a snapshot of the dialog's
// client area every 200 µs and notes when they first all show the settled
// dialog; the main thread keeps the event loop going meanwhile. Timing it
// there, not after the main thread's next event-loop pass, keeps the loop's
// idle waits out of the figure. Output: "load_show_ms ..." (Load to the
// Show call's return) and "drawn_ms ..." (Load to on the screen), each as
// median, p90 and max.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/manual_notice.h"
#include "bench/pixel_watch.h"
#include "bench/report.h"
#include "dialogs/frmYesNo.h"
#include "forms/texts.h"
#include "runtime/platform.h"
#include "runtime/runtime.h"

namespace {

constexpr int kWarmUp = 5;
constexpr int kClientLeft = 100, kClientTop = 100;  // pixels; no window manager, so no frame
constexpr std::int64_t kTimeoutNanos = 3'000'000'000;

// A 5 × 4 grid over the 275 × 140 client area, the OK button's row included.
std::vector<bench::Point> ClientGrid() {
  std::vector<bench::Point> points;
  for (int y : {4, 60, 112, 135})
    for (int x : {6, 70, 137, 205, 268}) points.push_back({kClientLeft + x, kClientTop + y});
  return points;
}

class Watcher {
 public:
  explicit Watcher(std::vector<bench::Point> points) : points_(std::move(points)), screen_(nullptr) {}
  ~Watcher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  // The settled dialog's pixels, taken while it is shown; points where the
  // bare screen looks the same are dropped.
  void SetReference(const std::vector<std::uint32_t>& bare) {
    const std::vector<std::uint32_t> shown = screen_.Read(points_);
    std::vector<bench::Point> kept;
    for (std::size_t i = 0; i < points_.size(); ++i)
      if (shown[i] != bare[i]) {
        kept.push_back(points_[i]);
        reference_.push_back(shown[i]);
      }
    points_ = kept;
  }
  std::vector<std::uint32_t> ReadNow() { return screen_.Read(points_); }
  std::size_t PointCount() const { return points_.size(); }

  void Start() {
    thread_ = std::thread([this] {
      bench::ScreenPixels own(nullptr);
      bool was = false;
      while (!stop_) {
        const bool now = own.AllMatchAtOnce(points_, reference_);
        if (now && !was) since_ = bench::MonotonicNanos();
        matching_ = now;
        was = now;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    });
  }
  bool Matching() const { return matching_; }
  std::int64_t Since() const { return since_; }

 private:
  std::vector<bench::Point> points_;
  std::vector<std::uint32_t> reference_;
  bench::ScreenPixels screen_;  // the main thread's, for calibration only
  std::thread thread_;
  std::atomic<bool> stop_{false}, matching_{false};
  std::atomic<std::int64_t> since_{0};
};

void Present(rt::Runtime& runtime, frmYesNo& w, const std::string& message) {
  bench::PresentManualNotice(runtime, w, message, kClientLeft, kClientTop);
}

template <class Done>
void PumpUntil(rt::Runtime& runtime, Done done, const char* what) {
  const std::int64_t until = bench::MonotonicNanos() + kTimeoutNanos;
  while (!done()) {
    if (bench::MonotonicNanos() > until) {
      std::fprintf(stderr, "dialog_show: timed out waiting until %s\n", what);
      std::exit(2);
    }
    runtime.DoEvents();
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
  bench::InitX11Threads();
  const auto backend = rt::CreatePlatformBackend();
  rt::Runtime runtime(*backend);
  frmYesNo& dialog = runtime.Instance<frmYesNo>();
  const std::string message = forms::texts::ManualNotice();

  Watcher watcher(ClientGrid());
  std::vector<double> load_show, drawn;
  const int status = runtime.RunWith([&] {
    const std::vector<std::uint32_t> bare = watcher.ReadNow();
    Present(runtime, dialog, message);
    const std::int64_t settle = bench::MonotonicNanos() + 500'000'000;
    PumpUntil(runtime, [&] { return bench::MonotonicNanos() > settle; }, "settled");
    watcher.SetReference(bare);
    if (watcher.PointCount() < 5) {
      std::fprintf(stderr, "dialog_show: the dialog does not differ from the bare screen\n");
      std::exit(2);
    }
    dialog.Unload();
    watcher.Start();
    PumpUntil(runtime, [&] { return !watcher.Matching(); }, "the first dialog was gone");

    for (int i = 0; i < kWarmUp + iterations; ++i) {
      const std::int64_t t0 = bench::MonotonicNanos();
      Present(runtime, dialog, message);
      const std::int64_t shown = bench::MonotonicNanos();
      PumpUntil(runtime, [&] { return watcher.Matching() && watcher.Since() >= t0; }, "the dialog was drawn");
      const std::int64_t on_screen = watcher.Since();
      dialog.Unload();
      PumpUntil(runtime, [&] { return !watcher.Matching(); }, "the dialog was gone");
      if (i < kWarmUp) continue;
      load_show.push_back(static_cast<double>(shown - t0) / 1e6);
      drawn.push_back(static_cast<double>(on_screen - t0) / 1e6);
    }
  });
  if (status != 0) return status;
  std::printf("points %zu\n", watcher.PointCount());
  bench::Report("load_show_ms", load_show);
  bench::Report("drawn_ms", drawn);
  return 0;
}
