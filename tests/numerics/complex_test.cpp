// DCOMPLEX arithmetic: known values bit for bit, rows chosen so that every branch of the scaled
// quotient, modulus and root decides a last bit or a sign, and the ends of the range.
#include <cmath>
#include <limits>

#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ComplexArithmetic, KnownResultsBitForBit) {
  struct Case {
    char const* what;
    DCOMPLEX actual;
    DCOMPLEX expected;
  };
  Case const cases[] = {
      {"Complex", Complex(1.5, -0.0), {1.5, -0.0}},
      {"Conjg negates a zero imaginary part", Conjg({1, 0}), {1, -0.0}},
      {"Conjg", Conjg({2, -3}), {2, 3}},
      {"Cadd", Cadd({1, 2}, {0.5, -4}), {1.5, -2}},
      {"Csub", Csub({1, 2}, {0.5, -4}), {0.5, 6}},
      {"Cmul", Cmul({1, 2}, {3, 4}), {-5, 10}},
      {"RCmul", RCmul(-2, {1.5, 0}), {-3, -0.0}},
      {"Cdiv, second branch", Cdiv({-5, 10}, {3, 4}), {1, 2}},
      {"Cdiv, first branch", Cdiv({1, 2}, {4, 3}), {0.4, 0.2}},
      {"Cdiv by (1, 1): r = 1, d = 2", Cdiv({3, 1}, {1, 1}), {2, -1}},
      // (1 + 7i) / 10: the scaled form rounds 0.7 up by one ulp.
      {"Cdiv, first branch, last bit", Cdiv({1, 2}, {3, -1}), {0x1.999999999999ap-4, 0x1.6666666666667p-1}},
      // A tie takes the first branch: r = -1, d = 2 gives +0.0; the second would give -0.0.
      {"Cdiv tie decides the zero's sign", Cdiv({0, 0}, {1, -1}), {0.0, 0.0}},
      {"Csqrt of a negative real", Csqrt({-4, 0}), {0, 2}},
      // sqrt(2) * sqrt(0.5) rounds up: the root of 2i is 1 only to the last bit.
      {"Csqrt of an imaginary", Csqrt({0, 2}), {0x1.0000000000001p+0, 0x1.ffffffffffffep-1}},
      {"Csqrt", Csqrt({3, 4}), {2, 1}},
      {"Csqrt, third quadrant", Csqrt({-3, -4}), {1, -2}},
      {"Csqrt, |re| >= |im|", Csqrt({4, 3}), {0x1.0f876ccdf6cd9p+1, 0x1.6a09e667f3bcdp-1}},
      {"Csqrt, |re| >= |im|, third quadrant", Csqrt({-4, -3}), {0x1.6a09e667f3bcdp-1, -0x1.0f876ccdf6cd9p+1}},
      {"Csqrt of zero", Csqrt({0, 0}), {0, 0}},
      {"Csqrt of -0 is +0", Csqrt({-0.0, -0.0}), {0, 0}},
      {"Csqrt of -4 - 0i: -0 counts as non-negative", Csqrt({-4, -0.0}), {-0.0, 2}},
  };
  for (Case const& c : cases) {
    EXPECT_EQ(bits(c.expected.real), bits(c.actual.real)) << c.what;
    EXPECT_EQ(bits(c.expected.imag), bits(c.actual.imag)) << c.what;
  }
  struct AbsCase {
    DCOMPLEX z;
    double expected;
  };
  AbsCase const moduli[] = {
      {{3, -4}, 5},
      {{4, -3}, 5},
      {{0, -7}, 7},
      {{-0.0, -0.0}, 0.0},
      {{-2, 0}, 2},
      {{1e200, 1e200}, 1e200 * 1.4142135623730951},  // no overflow: the tie scales by y
      {{1e-200, -1e-200}, 1e-200 * 1.4142135623730951},
      {{kInf, 0}, kInf},
  };
  for (AbsCase const& c : moduli)
    EXPECT_EQ(bits(c.expected), bits(Cabs(c.z))) << "Cabs(" << c.z.real << ", " << c.z.imag << ")";
}

TEST(ComplexArithmetic, ScalingKeepsModulusAndRootFiniteWhereSquaresWouldOverflowOrVanish) {
  DCOMPLEX q = Cdiv({1, 2}, {0, 0});
  EXPECT_TRUE(std::isnan(q.real) && std::isnan(q.imag)) << "a divisor of zero";
  double const big = std::numeric_limits<double>::max() / 2;
  EXPECT_TRUE(std::isfinite(Cabs({big, big / 3})));
  EXPECT_GT(Cabs({1e-310, 1e-310}), 0.0) << "squares of subnormals vanish; the scaled form does not";
  DCOMPLEX root = Csqrt({-big, big});
  EXPECT_TRUE(std::isfinite(root.real) && std::isfinite(root.imag));
  EXPECT_GE(root.real, 0.0);
  EXPECT_GT(root.imag, 0.0);
}

}  // namespace
}  // namespace vellum::test
