// Checked arithmetic for position computations. C++ does not trap on float
// faults, so every division, product and conversion that feeds a position goes
// through here and raises the runtime's standard error instead of producing an
// infinity or NaN that would silently place a window nowhere.
#pragma once

#include "runtime/types.h"

namespace rt {

// a / b at double precision. Division by zero raises kDivisionByZero (0 / 0,
// which has no value at all, raises kOverflow); a non-finite result kOverflow.
double Div(double a, double b);

// Raises kOverflow unless x is finite.
double Finite(double x);

// Stores a value as Single; raises kOverflow where it does not fit.
Single CSng(double x);

// Nearest whole number, ties to the even number, as a 32-bit Long; raises
// kOverflow outside the Long range.
Long CLng(double x);

}  // namespace rt
