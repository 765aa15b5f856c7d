// Rounding and float-fault checks of position arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/error.h"
#include "runtime/vbmath.h"

namespace {

using rt::ErrorNumber;

ErrorNumber ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const rt::RuntimeError& e) {
    return e.number();
  }
  ADD_FAILURE() << "no run-time error";
  return ErrorNumber::kInvalidProcedureCall;
}

TEST(CLng, RoundsToNearestWithTiesToEven) {
  const struct {
    double in;
    rt::Long out;
  } cases[] = {{2122.5, 2122}, {2123.5, 2124}, {0.5, 0}, {1.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
               {4470.0, 4470}, {4473.51, 4474}, {3794.49, 3794}, {-3.7, -4}, {2147483647.0, 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(rt::CLng(c.in), c.out) << c.in;
}

TEST(CLng, OverflowOutsideLongRangeOrNotFinite) {
  EXPECT_EQ(ErrorOf([] { rt::CLng(2147483647.5); }), ErrorNumber::kOverflow);
  EXPECT_EQ(ErrorOf([] { rt::CLng(-2147483649.0); }), ErrorNumber::kOverflow);
  EXPECT_EQ(ErrorOf([] { rt::CLng(std::nan("")); }), ErrorNumber::kOverflow);
  EXPECT_EQ(rt::CLng(-2147483648.4), std::numeric_limits<rt::Long>::min());
}

TEST(Div, FaultsRaiseInsteadOfProducingInfinities) {
  EXPECT_EQ(ErrorOf([] { rt::Div(9600, 0); }), ErrorNumber::kDivisionByZero);
  EXPECT_EQ(ErrorOf([] { rt::Div(0, 0); }), ErrorNumber::kOverflow);
  EXPECT_EQ(ErrorOf([] { rt::Div(1e308, 1e-10); }), ErrorNumber::kOverflow);
  EXPECT_EQ(ErrorOf([] { rt::Div(std::numeric_limits<double>::infinity(), 2); }), ErrorNumber::kOverflow);
  EXPECT_EQ(ErrorOf([] { rt::Div(2, std::numeric_limits<double>::infinity()); }), ErrorNumber::kOverflow);
  EXPECT_EQ(ErrorOf([] { rt::Div(std::numeric_limits<double>::infinity(), 0); }), ErrorNumber::kOverflow);
  EXPECT_DOUBLE_EQ(rt::Div(9600, 8325), 9600.0 / 8325.0);
}

TEST(CSng, StoresAsSingleOrOverflows) {
  EXPECT_EQ(rt::CSng(9600.0 / 8325.0), static_cast<float>(9600.0 / 8325.0));
  EXPECT_EQ(ErrorOf([] { rt::CSng(1e39); }), ErrorNumber::kOverflow);
  const float most = std::numeric_limits<float>::max();
  EXPECT_EQ(rt::CSng(most), most);
  EXPECT_EQ(rt::CSng(-static_cast<double>(most)), -most);
  EXPECT_EQ(ErrorOf([] { rt::CSng(std::nan("")); }), ErrorNumber::kOverflow);
}

TEST(RuntimeError, MessageNamesNumberAndDescription) {
  const rt::RuntimeError e(ErrorNumber::kDivisionByZero);
  EXPECT_EQ(e.text(), "Laufzeitfehler '11':\n\nDivision durch Null");
  EXPECT_NE(rt::RuntimeError(ErrorNumber::kOverflow, "x").text().find("(x)"), std::string::npos);
}

}  // namespace
