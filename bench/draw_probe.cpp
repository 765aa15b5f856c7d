// Process start to "on the screen", measured from outside: forks a program on
// its own X display and polls a few root-window pixels every millisecond until
// they show what that program shows once it has settled. Several programs are
// measured in interleaved rounds, so that drift of a noisy machine falls on
// all of them alike.
//
//   draw_probe [--runs N] [--settle SECONDS] [--timeout SECONDS]
//              --case NAME DISPLAY FOLDER "x,y x,y ..." PROGRAM   (repeated)
//
// PROGRAM is a path, or a path and arguments separated by blanks.
// For each case, an untimed first run waits SETTLE seconds and takes the
// pixels at the points as the reference; points that then still show the bare
// root window are dropped, as they could not tell drawn from not drawn.
// At that moment it also reads the CPU time the program has used so far
// (/proc/PID/task/*/schedstat), which a busy machine stretches far less than the
// wall-clock time. Output: one "run NAME ROUND MS CPU_MS" line per timed run,
// then per case "result NAME median=MS min=MS max=MS cpu_median=MS runs=N
// points=K".
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/pixel_watch.h"

namespace {

constexpr std::int64_t kPollNanos = 1'000'000;
constexpr std::int64_t kSecond = 1'000'000'000;

struct Case {
  std::string name, display, folder, program;
  std::vector<bench::Point> points;
  std::unique_ptr<bench::ScreenPixels> screen;
  std::vector<std::uint32_t> reference;
  std::vector<double> millis;
  std::vector<double> cpu_millis;
};

struct Timing {
  double wall_ms = 0, cpu_ms = 0;
};

// The time on a CPU so far of all the program's threads (a program under
// wine has a few).
double CpuMillis(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (!dir) return -1;
  unsigned long long total = 0;
  while (const dirent* e = readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    std::FILE* f = std::fopen((tasks + "/" + e->d_name + "/schedstat").c_str(), "r");
    if (!f) continue;
    unsigned long long ns = 0;
    if (std::fscanf(f, "%llu", &ns) == 1) total += ns;
    std::fclose(f);
  }
  closedir(dir);
  return static_cast<double>(total) / 1e6;
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "draw_probe: %s\n", what.c_str());
  std::exit(2);
}

pid_t Start(const Case& c) {
  const pid_t pid = fork();
  if (pid < 0) Fail("fork failed");
  if (pid == 0) {
    if (chdir(c.folder.c_str()) != 0) _exit(126);
    setenv("DISPLAY", c.display.c_str(), 1);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    // PROGRAM may carry arguments ("wine64 START.EXE"), split at blanks.
    std::vector<std::string> words;
    for (std::size_t at = 0; at < c.program.size();) {
      const std::size_t end = std::min(c.program.find(' ', at), c.program.size());
      if (end > at) words.push_back(c.program.substr(at, end - at));
      at = end + 1;
    }
    std::vector<char*> args;
    for (std::string& w : words) args.push_back(w.data());
    args.push_back(nullptr);
    if (!words.empty()) execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  const std::int64_t until = bench::MonotonicNanos() + 2 * kSecond;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (bench::MonotonicNanos() > until) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return;
    }
    usleep(2000);
  }
}

// The next run must begin on a screen without the previous run's window.
void WaitCleared(Case& c) {
  const std::int64_t until = bench::MonotonicNanos() + 3 * kSecond;
  while (c.screen->AllMatch(c.points, c.reference)) {
    if (bench::MonotonicNanos() > until) Fail(c.name + ": the screen still shows the last run");
    usleep(2000);
  }
}

void Calibrate(Case& c, double settle_seconds) {
  const std::vector<std::uint32_t> bare = c.screen->Read(c.points);
  const pid_t pid = Start(c);
  usleep(static_cast<useconds_t>(settle_seconds * 1e6));
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) != 0) Fail(c.name + ": the program ended before it settled");
  const std::vector<std::uint32_t> shown = c.screen->Read(c.points);
  Stop(pid);
  std::vector<bench::Point> kept;
  for (std::size_t i = 0; i < c.points.size(); ++i) {
    if (shown[i] == bare[i]) continue;
    kept.push_back(c.points[i]);
    c.reference.push_back(shown[i]);
  }
  if (kept.size() < 3 || kept.size() * 2 < c.points.size())
    Fail(c.name + ": too few points differ from the bare screen");
  c.points = kept;
  for (std::size_t i = 0; i < kept.size(); ++i)
    std::printf("reference %s %d,%d %06x\n", c.name.c_str(), kept[i].x, kept[i].y, c.reference[i]);
  WaitCleared(c);
}

Timing TimedRun(Case& c, double timeout_seconds) {
  const std::int64_t t0 = bench::MonotonicNanos();
  const pid_t pid = Start(c);
  const std::int64_t until = t0 + static_cast<std::int64_t>(timeout_seconds * kSecond);
  std::int64_t next = t0;
  std::int64_t seen = 0;
  double cpu = -1;
  for (;;) {
    if (c.screen->AllMatch(c.points, c.reference)) {
      seen = bench::MonotonicNanos();
      cpu = CpuMillis(pid);
      break;
    }
    if (bench::MonotonicNanos() > until) break;
    next += kPollNanos;
    bench::SleepUntil(next);
  }
  Stop(pid);
  if (seen == 0) Fail(c.name + ": not drawn within the timeout");
  WaitCleared(c);
  return {static_cast<double>(seen - t0) / 1e6, cpu};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 7;
  double settle = 2.5, timeout = 10;
  std::vector<Case> cases;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string a = argv[i];
      if (a == "--runs" && i + 1 < argc) runs = std::stoi(argv[++i]);
      else if (a == "--settle" && i + 1 < argc) settle = std::stod(argv[++i]);
      else if (a == "--timeout" && i + 1 < argc) timeout = std::stod(argv[++i]);
      else if (a == "--case" && i + 5 < argc) {
        Case c;
        c.name = argv[i + 1];
        c.display = argv[i + 2];
        c.folder = argv[i + 3];
        c.points = bench::ParsePoints(argv[i + 4]);
        c.program = argv[i + 5];
        i += 5;
        cases.push_back(std::move(c));
      } else {
        Fail("usage: draw_probe [--runs N] [--settle S] [--timeout S] --case NAME DISPLAY FOLDER POINTS PROGRAM ...");
      }
    }
    if (cases.empty() || runs < 1) Fail("nothing to measure");
    for (Case& c : cases) c.screen = std::make_unique<bench::ScreenPixels>(c.display.c_str());
  } catch (const std::exception& e) {
    Fail(e.what());
  }

  for (Case& c : cases) Calibrate(c, settle);
  for (int r = 0; r < runs; ++r) {
    // Alternating order: neither program always runs right after the other.
    for (std::size_t k = 0; k < cases.size(); ++k) {
      Case& c = cases[r % 2 ? cases.size() - 1 - k : k];
      const Timing t = TimedRun(c, timeout);
      c.millis.push_back(t.wall_ms);
      c.cpu_millis.push_back(t.cpu_ms);
      std::printf("run %s %d %.1f %.1f\n", c.name.c_str(), r + 1, t.wall_ms, t.cpu_ms);
      std::fflush(stdout);
    }
  }
  for (const Case& c : cases) {
    const auto [lo, hi] = std::minmax_element(c.millis.begin(), c.millis.end());
    std::printf("result %s median=%.1f min=%.1f max=%.1f cpu_median=%.1f runs=%zu points=%zu\n", c.name.c_str(),
                Median(c.millis), *lo, *hi, Median(c.cpu_millis), c.millis.size(), c.points.size());
  }
  return 0;
}
