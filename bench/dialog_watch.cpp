// The watching side of the dialog benchmark for dialog_cycle: starts it on
// $DISPLAY with its stdout on a pipe and, from each "load" it reads, takes a
// snapshot of the dialog's area every 200 µs until it shows the settled
// dialog. Load to on the screen, measured from the moment the line is read
// (later than the program's Load by the pipe's few microseconds).
//
//   dialog_watch PROGRAM [ARG...]   (the program's own arguments)
// Output: "drawn MS" for each showing but the first five, "points K", then
// "load_show_ms ..." (Load to Show's return, as the program timed it) and
// "drawn_ms ..." (Load to on the screen), each as median, p90 and max over
// all but the first five.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/line_reader.h"
#include "bench/pixel_watch.h"
#include "bench/report.h"

namespace {

constexpr int kWarmUp = 5;
constexpr int kLeft = 100, kTop = 100;  // the dialog's window, frame and all
constexpr std::int64_t kTimeoutNanos = 3'000'000'000;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "dialog_watch: %s\n", what.c_str());
  std::exit(2);
}

// A 5 × 5 grid over the notice's 281 × 165 pixels, the OK button's row included.
std::vector<bench::Point> Grid() {
  std::vector<bench::Point> points;
  for (int y : {4, 40, 90, 130, 160})
    for (int x : {4, 70, 140, 210, 276}) points.push_back({kLeft + x, kTop + y});
  return points;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) Fail("usage: dialog_watch PROGRAM [ARG...]");
  bench::ScreenPixels screen(nullptr);
  int out = -1;
  const pid_t pid = bench::StartOnPipe(argv + 1, out);
  if (pid < 0) Fail("the program could not be started");
  bench::LineReader lines(out);

  std::vector<bench::Point> points = Grid();
  std::vector<std::uint32_t> bare, reference;
  std::vector<double> drawn, load_show;
  int loads = 0;
  for (;;) {
    const std::string line = lines.Next(30'000);
    if (line.empty()) Fail("the program said nothing more");
    if (line == "end") break;
    if (line == "bare") {
      bare = screen.Read(points);
    } else if (line == "settled") {
      const std::vector<std::uint32_t> shown = screen.Read(points);
      std::vector<bench::Point> kept;
      for (std::size_t i = 0; i < points.size(); ++i)
        if (i < bare.size() && shown[i] != bare[i]) {
          kept.push_back(points[i]);
          reference.push_back(shown[i]);
        }
      points = kept;
      if (points.size() < 5) Fail("the dialog does not differ from the bare screen");
    } else if (line == "load") {
      if (reference.empty()) Fail("load before settled");
      const std::int64_t t0 = bench::MonotonicNanos();
      std::int64_t seen = 0;
      while (!seen) {
        if (screen.AllMatchAtOnce(points, reference)) seen = bench::MonotonicNanos();
        else if (bench::MonotonicNanos() - t0 > kTimeoutNanos) Fail("the dialog was not drawn");
        else usleep(200);
      }
      if (++loads > kWarmUp) {
        drawn.push_back(static_cast<double>(seen - t0) / 1e6);
        std::printf("drawn %.3f\n", drawn.back());
      }
    } else if (double ms = 0; std::sscanf(line.c_str(), "shown %lf", &ms) == 1 && loads > kWarmUp) {
      load_show.push_back(ms);
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the program did not end cleanly");
  if (drawn.empty()) Fail("too few iterations");
  std::printf("points %zu\n", points.size());
  if (!load_show.empty()) bench::Report("load_show_ms", load_show);
  bench::Report("drawn_ms", drawn);
  return 0;
}
