// Deterministic elementary functions, noise and hashing for the generator.
#include "detmath.h"

namespace artgen {
namespace {

constexpr double kLn2 = 0.69314718055994530942;

// sin on [-pi/2, pi/2] by its Taylor series to x^21: error far below a
// colour step.
double SinKernel(double x) {
  double x2 = x * x;
  double term = x, sum = x;
  for (int n = 1; n <= 10; ++n) {
    term *= -x2 / ((2.0 * n) * (2.0 * n + 1.0));
    sum += term;
  }
  return sum;
}

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9E3779B1u;
  h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

}  // namespace

double Sin(double x) {
  double k = std::floor(x / (2.0 * kPi) + 0.5);
  x -= k * 2.0 * kPi;  // now in [-pi, pi]
  if (x > kPi / 2) x = kPi - x;
  if (x < -kPi / 2) x = -kPi - x;
  return SinKernel(x);
}

double Cos(double x) { return Sin(x + kPi / 2); }

double Exp(double x) {
  if (x < -700) return 0.0;
  if (x > 700) x = 700;
  double k = std::floor(x / kLn2 + 0.5);
  double r = x - k * kLn2;
  double term = 1.0, sum = 1.0;
  for (int n = 1; n <= 14; ++n) {
    term *= r / n;
    sum += term;
  }
  return std::ldexp(sum, static_cast<int>(k));
}

double Log(double x) {
  int e = 0;
  double m = std::frexp(x, &e);  // x = m * 2^e, m in [0.5, 1)
  if (m < 0.70710678118654752) {
    m *= 2.0;
    --e;
  }
  // log(m) = 2 atanh((m-1)/(m+1)); |s| < 0.18 so the series is short.
  double s = (m - 1.0) / (m + 1.0);
  double s2 = s * s, term = s, sum = s;
  for (int n = 3; n <= 31; n += 2) {
    term *= s2;
    sum += term / n;
  }
  return 2.0 * sum + e * kLn2;
}

double Pow(double base, double exponent) {
  if (base <= 0.0) return 0.0;
  return Exp(exponent * Log(base));
}

double Atan2(double y, double x) {
  if (x == 0.0 && y == 0.0) return 0.0;
  double ax = std::fabs(x), ay = std::fabs(y);
  bool swap = ay > ax;
  double t = swap ? ax / ay : ay / ax;  // in [0, 1]
  // Reduce further around tan(pi/8) so the series converges quickly.
  constexpr double kT8 = 0.41421356237309505;
  double offset = 0.0;
  if (t > kT8) {
    t = (t - 1.0) / (t + 1.0);
    offset = kPi / 4;
  }
  double t2 = t * t, term = t, sum = t;
  for (int n = 3; n <= 41; n += 2) {
    term *= -t2;
    sum += term / n;
  }
  double a = offset + sum;
  if (swap) a = kPi / 2 - a;
  if (x < 0) a = kPi - a;
  return y < 0 ? -a : a;
}

double Hash01(int x, int y, std::uint32_t seed) {
  return (Hash(x, y, seed) >> 8) * (1.0 / 16777216.0);
}

double ValueNoise(double x, double y, std::uint32_t seed) {
  double fx = std::floor(x), fy = std::floor(y);
  int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  double tx = x - fx, ty = y - fy;
  tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
  ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
  double a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
  double c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
  return Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

double Fbm(double x, double y, int octaves, std::uint32_t seed, double gain) {
  double sum = 0, amp = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * ValueNoise(x, y, seed + 101u * i);
    norm += amp;
    amp *= gain;
    // Rotate a little each octave so lattice lines do not line up.
    double nx = x * 1.6 + y * 1.2, ny = -x * 1.2 + y * 1.6;
    x = nx + 17.3;
    y = ny + 5.1;
  }
  return sum / norm;
}

double Ridged(double x, double y, int octaves, std::uint32_t seed) {
  double sum = 0, amp = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    double n = 1.0 - std::fabs(ValueNoise(x, y, seed + 77u * i) * 2.0 - 1.0);
    sum += amp * n * n;
    norm += amp;
    amp *= 0.5;
    double nx = x * 1.7 + y * 1.1, ny = -x * 1.1 + y * 1.7;
    x = nx + 3.7;
    y = ny + 11.9;
  }
  return sum / norm;
}

}  // namespace artgen
