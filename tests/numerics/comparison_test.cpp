// Relative equality and the integer test at their tolerances and range ends.
#include <cmath>
#include <limits>

#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Comparison, NewApproxEqIsRelativeToTheMeanMagnitude) {
  struct Case {
    double a, b;
    bool equal;
  };
  Case const cases[] = {
      {1.0, 1.0, true},
      {1.0, 1.0 + 1e-13, true},
      {1.0, 1.0 + 1e-11, false},
      {0.0, -0.0, true},
      {0.0, 1e-300, false},  // q = 2
      {1e-20, 1.0000000000001e-20, true},
      {-5.0, 5.0, false},
      {1e300, 1e300 * (1 + 2e-12), false},
      {kNaN, 1.0, true},              // only q >= 1e-12 says different
      {kInf, kInf, true},
      {1.0, kInf, true},
  };
  for (Case const& c : cases) {
    EXPECT_EQ(newApproxEq(c.a, c.b), c.equal) << c.a << " vs " << c.b;
    EXPECT_EQ(newApproxEq(c.b, c.a), c.equal) << c.b << " vs " << c.a;
  }
  // Either side of the tolerance: the mean is about 1, so q is about b - 1.
  double const below = 1.0 + 0x1.0p-40;  // 9.09e-13
  double const above = 1.0 + 0x1.2p-40;  // 1.02e-12
  EXPECT_TRUE(newApproxEq(1.0, below));
  EXPECT_FALSE(newApproxEq(1.0, above));
}

TEST(Comparison, NonintAcceptsIntegersWithinTheToleranceAndTheInt32Range) {
  struct Case {
    double x;
    int result;
  };
  Case const cases[] = {
      {3.0, 0},           {3.00000000001, 0},  {2.99999999999, 0}, {3.001, 1},         {-7.0, 0},
      {-7.00000000001, 0}, {-6.99999999999, 0}, {0.0, 0},           {-0.0, 0},          {1e-12, 1},
      {-1e-300, 1},       {0.99999999999, 1},  {1.00000000001, 0}, {-0.99999999999, 1}, {2.5, 1},
      {2147483647.0, 0},  {2147483648.0, 1},   {-2147483648.0, 0}, {-2147483649.0, 1}, {kInf, 1},
      {-kInf, 1},         {2147483646.9999999, 0},                  {kNaN, 0},
  };
  for (Case const& c : cases) EXPECT_EQ(nonint(c.x), c.result) << c.x;

  aComplex four = complex_record(4, 0);
  aComplex tiny_imag = complex_record(4, 1e-300);
  aComplex negative_zero_imag = complex_record(-3, -0.0);
  aComplex half = complex_record(0.5, 0);
  EXPECT_EQ(nonint(nullptr, &four), 0);
  EXPECT_EQ(nonint(nullptr, &tiny_imag), 1);
  EXPECT_EQ(nonint(nullptr, &negative_zero_imag), 0);
  EXPECT_EQ(nonint(nullptr, &half), 1);
}

}  // namespace
}  // namespace vellum::test
