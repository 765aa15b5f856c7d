// The steady clock behind the real backends.
#include "runtime/clock.h"

#include <chrono>

namespace rt {

Time SteadyNow() {
  using namespace std::chrono;
  return {duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count()};
}

}  // namespace rt
