// Math for the picture generator that gives the same bits on every build:
// only +, -, *, / and sqrt, which IEEE rounds exactly, so neither the C
// library nor the compiler's constant folding can move a pixel.
#pragma once

#include <cmath>
#include <cstdint>

namespace artgen {

inline constexpr double kPi = 3.14159265358979323846;

double Sin(double x);
double Cos(double x);
double Exp(double x);
double Log(double x);
double Pow(double base, double exponent);  // base > 0
double Atan2(double y, double x);

inline double Clamp(double v, double lo = 0.0, double hi = 1.0) {
  return v < lo ? lo : (v > hi ? hi : v);
}
inline double Lerp(double a, double b, double t) { return a + (b - a) * t; }
inline double SmoothStep(double e0, double e1, double x) {
  double t = Clamp((x - e0) / (e1 - e0));
  return t * t * (3.0 - 2.0 * t);
}
inline double Fract(double x) { return x - std::floor(x); }

// splitmix64: small, seedable, and the same on every platform.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  int Int(int lo, int hi) { return lo + static_cast<int>(Uniform() * (hi - lo + 1)); }

 private:
  std::uint64_t state_;
};

// Lattice value noise in [0, 1] and its fractal sum, keyed by a seed.
double ValueNoise(double x, double y, std::uint32_t seed);
double Fbm(double x, double y, int octaves, std::uint32_t seed, double gain = 0.5);
// Ridged fractal noise in [0, 1]: sharp crests, for mountain ranges.
double Ridged(double x, double y, int octaves, std::uint32_t seed);
// Per-pixel hash in [0, 1), for grain and stars.
double Hash01(int x, int y, std::uint32_t seed);

}  // namespace artgen
