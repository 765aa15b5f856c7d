// A 64-bit millisecond count kept from the system's 32-bit one, which wraps
// every 49.7 days. Pure, so that it is tested everywhere.
#pragma once

#include <cstdint>

namespace rt::win32 {

// No count yet: the first reading starts it. No real count gets there.
inline constexpr std::uint64_t kNoTickCount = ~std::uint64_t{0};

// The count after `last` for the 32-bit reading `ticks`: a wrap of the
// reading is carried into the high half. A reading behind `last` (another
// thread read the system's count earlier but stored a later one first)
// leaves `last`, so the count never goes back. A reading counts as ahead
// when it is less than 2^31 ms (24.8 days) ahead, which holds as long as
// the count is asked for at least that often.
constexpr std::uint64_t NextTickCount(std::uint64_t last, std::uint32_t ticks) {
  if (last == kNoTickCount) return ticks;
  const std::uint32_t ahead = ticks - static_cast<std::uint32_t>(last);
  return ahead < 0x80000000u ? last + ahead : last;
}

// The count kept from GetTickCount, for every thread of the process: what
// GetTickCount64 gives where the system lacks it.
std::uint64_t TickCountFromGetTickCount();

}  // namespace rt::win32
