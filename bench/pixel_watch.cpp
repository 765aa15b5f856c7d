// Root-window pixel reads over a private X connection, and the shared clock.
#include "bench/pixel_watch.h"

#include <time.h>

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace bench {

std::int64_t MonotonicNanos() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void SleepUntil(std::int64_t monotonic_nanos) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(monotonic_nanos / 1'000'000'000);
  ts.tv_nsec = static_cast<long>(monotonic_nanos % 1'000'000'000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) != 0) {
  }
}

std::vector<Point> ParsePoints(std::string_view text) {
  std::vector<Point> points;
  auto number = [&](std::string_view& rest, char end) {
    int v = 0;
    const auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v);
    if (ec != std::errc() || (p != rest.data() + rest.size() && *p != end))
      throw std::invalid_argument("bad point list: " + std::string(text));
    rest.remove_prefix(static_cast<std::size_t>(p - rest.data()));
    if (!rest.empty()) rest.remove_prefix(1);
    return v;
  };
  std::string_view rest = text;
  while (!rest.empty()) {
    if (rest.front() == ' ') {
      rest.remove_prefix(1);
      continue;
    }
    Point pt;
    pt.x = number(rest, ',');
    pt.y = number(rest, ' ');
    points.push_back(pt);
  }
  if (points.empty()) throw std::invalid_argument("no points given");
  return points;
}

void InitX11Threads() { XInitThreads(); }

ScreenPixels::ScreenPixels(const char* display_name) {
  Display* d = XOpenDisplay(display_name);
  if (!d) throw std::runtime_error(std::string("cannot open display ") + (display_name ? display_name : "(DISPLAY)"));
  display_ = d;
  root_ = DefaultRootWindow(d);
}

ScreenPixels::~ScreenPixels() { XCloseDisplay(static_cast<Display*>(display_)); }

std::uint32_t ScreenPixels::At(Point p) {
  auto* d = static_cast<Display*>(display_);
  XImage* img = XGetImage(d, root_, p.x, p.y, 1, 1, AllPlanes, ZPixmap);
  if (!img) return 0xFFFFFFFFu;  // off the screen: never equal to a colour
  const unsigned long v = XGetPixel(img, 0, 0);
  XDestroyImage(img);
  return static_cast<std::uint32_t>(v & 0xFFFFFFu);
}

std::vector<std::uint32_t> ScreenPixels::Read(std::span<const Point> points) {
  std::vector<std::uint32_t> out;
  out.reserve(points.size());
  for (Point p : points) out.push_back(At(p));
  return out;
}

bool ScreenPixels::AllMatch(std::span<const Point> points, std::span<const std::uint32_t> expected) {
  for (std::size_t i = 0; i < points.size() && i < expected.size(); ++i)
    if (At(points[i]) != expected[i]) return false;
  return points.size() == expected.size();
}

bool ScreenPixels::AllMatchAtOnce(std::span<const Point> points, std::span<const std::uint32_t> expected) {
  if (points.empty() || points.size() != expected.size()) return false;
  int left = points[0].x, top = points[0].y, right = left, bottom = top;
  for (Point p : points) {
    left = std::min(left, p.x);
    top = std::min(top, p.y);
    right = std::max(right, p.x);
    bottom = std::max(bottom, p.y);
  }
  auto* d = static_cast<Display*>(display_);
  XImage* img = XGetImage(d, root_, left, top, static_cast<unsigned>(right - left + 1),
                          static_cast<unsigned>(bottom - top + 1), AllPlanes, ZPixmap);
  if (!img) return false;
  bool all = true;
  for (std::size_t i = 0; i < points.size() && all; ++i)
    all = (XGetPixel(img, points[i].x - left, points[i].y - top) & 0xFFFFFFu) == expected[i];
  XDestroyImage(img);
  return all;
}

}  // namespace bench
