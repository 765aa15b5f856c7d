// Checked arithmetic for position computations.
#include "runtime/vbmath.h"

#include <cmath>
#include <limits>

#include "runtime/error.h"

namespace rt {

double Finite(double x) {
  if (!std::isfinite(x)) Raise(ErrorNumber::kOverflow);
  return x;
}

double Div(double a, double b) {
  Finite(a);
  Finite(b);
  if (b == 0.0) Raise(a == 0.0 ? ErrorNumber::kOverflow : ErrorNumber::kDivisionByZero);
  return Finite(a / b);
}

Single CSng(double x) {
  Finite(x);
  if (std::fabs(x) > static_cast<double>(std::numeric_limits<Single>::max())) Raise(ErrorNumber::kOverflow);
  return static_cast<Single>(x);
}

Long CLng(double x) {
  Finite(x);
  double r = std::floor(x);
  const double diff = x - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
  if (r < static_cast<double>(std::numeric_limits<Long>::min()) ||
      r > static_cast<double>(std::numeric_limits<Long>::max()))
    Raise(ErrorNumber::kOverflow);
  return static_cast<Long>(r);
}

}  // namespace rt
