// Reads a few pixels of an X screen's root window, for the benchmark programs
// that wait until a window is on the screen. Xlib stays inside the .cpp: its
// True and False macros would break the runtime's rt::True and rt::False.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace bench {

struct Point {
  int x = 0, y = 0;
};

// CLOCK_MONOTONIC, the one clock every benchmark process shares.
std::int64_t MonotonicNanos();
void SleepUntil(std::int64_t monotonic_nanos);

// "x,y x,y ..." ; throws std::invalid_argument on anything else.
std::vector<Point> ParsePoints(std::string_view text);

// Must run before any thread opens a display, when more than one thread
// talks to an X server.
void InitX11Threads();

// Its own connection, so that reading never disturbs a program's.
class ScreenPixels {
 public:
  explicit ScreenPixels(const char* display_name);  // throws std::runtime_error
  ~ScreenPixels();
  ScreenPixels(const ScreenPixels&) = delete;
  ScreenPixels& operator=(const ScreenPixels&) = delete;

  // 0xRRGGBB; one round trip per point.
  std::uint32_t At(Point p);
  std::vector<std::uint32_t> Read(std::span<const Point> points);
  // Stops at the first differing point, so a poll of a window that is not
  // there yet costs one round trip.
  bool AllMatch(std::span<const Point> points, std::span<const std::uint32_t> expected);
  // One snapshot of the points' bounding box, one round trip: the answer
  // is as of a single moment, and reading adds little to a measured time.
  // For a small box only.
  bool AllMatchAtOnce(std::span<const Point> points, std::span<const std::uint32_t> expected);

 private:
  void* display_;
  unsigned long root_;
};

}  // namespace bench
