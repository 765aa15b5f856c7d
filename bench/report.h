// One line of a measured series for bench/run.py: median, p90 and max.
#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline void Report(const char* name, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  std::printf("%s median=%.3f p90=%.3f max=%.3f n=%zu\n", name, median, v[n * 9 / 10], v.back(), n);
}

}  // namespace bench
