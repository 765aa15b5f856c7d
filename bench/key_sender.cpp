// The sending side of the key-latency benchmark: starts key_wait_window on
// $DISPLAY with its stdout on a pipe, gives its window the keyboard focus, and
// presses Return through XTest at irregular intervals. Latency is the time
// from just before the press is sent to the program's click handler, both on
// CLOCK_MONOTONIC; a program that cannot read that clock (the Windows build
// under wine) writes a bare "clicked", and the moment its line is read stands
// in, later by the pipe's few microseconds.
//
//   key_sender PRESSES PROGRAM [ARG...]   (PROGRAM ARG... PRESSES is run)
// Output: "press N MS" lines, then "result median=MS p90=MS max=MS n=N".
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "bench/line_reader.h"
#include "bench/pixel_watch.h"

namespace {

constexpr const char* kTitle = "Key latency bench";

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "key_sender: %s\n", what.c_str());
  std::exit(2);
}

Window FindViewable(Display* d, const char* title) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(d, children[i], &name) && name) {
      XWindowAttributes a{};
      if (std::strcmp(name, title) == 0 && XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable)
        found = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) Fail("usage: key_sender PRESSES PROGRAM [ARG...]");
  const int presses = std::max(1, std::atoi(argv[1]));
  Display* d = XOpenDisplay(nullptr);
  if (!d) Fail("cannot open the display");
  int ev = 0, err = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(d, &ev, &err, &major, &minor)) Fail("the X server has no XTest");

  std::string count = std::to_string(presses);
  std::vector<char*> args(argv + 2, argv + argc);
  args.push_back(count.data());
  args.push_back(nullptr);
  int out = -1;
  const pid_t pid = bench::StartOnPipe(args.data(), out);
  if (pid < 0) Fail("the program could not be started");
  bench::LineReader lines(out);
  if (lines.Next(10'000) != "ready") Fail("the program did not get ready");

  Window w = 0;
  for (int i = 0; i < 500 && !(w = FindViewable(d, kTitle)); ++i) usleep(10'000);
  if (!w) Fail("the program's window did not appear");
  // No window manager: the focus is given directly.
  XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
  XSync(d, False);
  usleep(300'000);

  const KeyCode enter = XKeysymToKeycode(d, XK_Return);
  std::mt19937 rng(std::random_device{}());
  std::uniform_int_distribution<int> gap_ms(30, 300);
  std::vector<double> ms;
  for (int i = 0; i < presses; ++i) {
    usleep(static_cast<useconds_t>(gap_ms(rng)) * 1000);
    const std::int64_t sent = bench::MonotonicNanos();
    XTestFakeKeyEvent(d, enter, True, CurrentTime);
    XFlush(d);
    XTestFakeKeyEvent(d, enter, False, CurrentTime);
    XFlush(d);
    const std::string line = lines.Next(5'000);
    const std::int64_t read = bench::MonotonicNanos();
    long long handled = 0;
    if (line == "clicked")
      handled = read;
    else if (std::sscanf(line.c_str(), "clicked %lld", &handled) != 1)
      Fail("no click for press " + std::to_string(i + 1));
    ms.push_back(static_cast<double>(handled - sent) / 1e6);
    std::printf("press %d %.3f\n", i + 1, ms.back());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  XCloseDisplay(d);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the program did not end cleanly");

  std::sort(ms.begin(), ms.end());
  const std::size_t n = ms.size();
  const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
  std::printf("result median=%.3f p90=%.3f max=%.3f n=%zu\n", median, ms[n * 9 / 10], ms.back(), n);
  return 0;
}
