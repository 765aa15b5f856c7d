// The runtime's clock: a monotonic reading, so that neither midnight nor a
// change of the wall clock moves it.
#pragma once

#include <compare>
#include <cstdint>

namespace rt {

struct Time {
  std::int64_t micros = 0;  // since an arbitrary, fixed start
  auto operator<=>(const Time&) const = default;
};

// Date interval "s": the time that many seconds later.
constexpr Time AddSeconds(Time t, std::int64_t seconds) { return {t.micros + seconds * 1'000'000}; }

constexpr bool EarlierThan(Time a, Time b) { return a.micros < b.micros; }

// The system's steady clock, for the real backends.
Time SteadyNow();

}  // namespace rt
