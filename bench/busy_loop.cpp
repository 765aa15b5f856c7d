// The yardstick for the CPU share of the setup's wait: the same wait as a
// plain busy loop, reading the clock until the time is up and handling no
// events.
//   busy_loop [SECONDS, by default the setup's]
#include <chrono>
#include <cstdlib>

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : SEQUENCE_WAIT_SECONDS;
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  volatile long passes = 0;  // the loop must not be optimised away
  while (std::chrono::steady_clock::now() < until) passes = passes + 1;
  return 0;
}
