// DCOMPLEX arithmetic: known values bit for bit, and the scaled quotient, modulus and root
// against a plain transcription of their branches over random and extreme inputs.
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tests/support/test_support.h"

namespace {

using vellum::test::bits;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Equal bit patterns, or both not-a-number (whose payloads depend on operand order).
bool same(double expected, double actual) {
  return bits(expected) == bits(actual) || (std::isnan(expected) && std::isnan(actual));
}

#define EXPECT_SAME_COMPLEX(expected, actual, input)                                              \
  do {                                                                                          \
    DCOMPLEX e_ = (expected), a_ = (actual);                                                    \
    EXPECT_TRUE(same(e_.real, a_.real) && same(e_.imag, a_.imag))                               \
        << input << ": expected (" << e_.real << ", " << e_.imag << ") got (" << a_.real << ", " \
        << a_.imag << ")";                                                                      \
  } while (0)

// The branches as a reader would write them down from the description of each operation.
DCOMPLEX reference_div(DCOMPLEX a, DCOMPLEX b) {
  double ar = a.real, ai = a.imag, br = b.real, bi = b.imag;
  if (std::fabs(br) >= std::fabs(bi)) {
    double r = bi / br;
    double d = br + r * bi;
    return {(ar + r * ai) / d, (ai - r * ar) / d};
  } else {
    double r = br / bi;
    double d = bi + r * br;
    return {(ar * r + ai) / d, (ai * r - ar) / d};
  }
}

double reference_abs(DCOMPLEX z) {
  double x = std::fabs(z.real), y = std::fabs(z.imag);
  if (x == 0) return y;
  if (y == 0) return x;
  if (x > y) {
    double t = y / x;
    return x * std::sqrt(1 + t * t);
  }
  double t = x / y;
  return y * std::sqrt(1 + t * t);
}

DCOMPLEX reference_sqrt(DCOMPLEX z) {
  if (z.real == 0 && z.imag == 0) return {0, 0};
  double x = std::fabs(z.real), y = std::fabs(z.imag), w;
  if (x >= y) {
    double t = y / x;
    w = std::sqrt(x) * std::sqrt(0.5 * (1 + std::sqrt(1 + t * t)));
  } else {
    double t = x / y;
    w = std::sqrt(y) * std::sqrt(0.5 * (t + std::sqrt(1 + t * t)));
  }
  if (z.real >= 0) return {w, z.imag / (2 * w)};
  double c = z.imag >= 0 ? w : -w;
  return {z.imag / (2 * c), c};
}

// Components that stress the scaling: zeros of both signs, ties, the ends of the range,
// subnormals, infinities and NaN.
std::vector<double> extreme_components() {
  std::vector<double> values = {0.0,     -0.0,    1.0,     -1.0,    2.0,      -3.0,   0.5,
                                1e-300,  -1e-300, 1e300,   -1e300,  1e154,    1e-154, 3e-320,
                                -3e-320, kInf,    -kInf,   kNaN,    std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min()};
  return values;
}

// Random components with random signs and exponents over the whole range.
std::vector<double> random_components(std::size_t count) {
  std::mt19937_64 generator(20240611);
  std::uniform_real_distribution<double> mantissa(1.0, 2.0);
  std::uniform_int_distribution<int> exponent(-1074, 1023);
  std::vector<double> values;
  for (std::size_t k = 0; k < count; ++k) {
    double x = std::ldexp(mantissa(generator), exponent(generator));
    values.push_back(generator() & 1 ? -x : x);
  }
  return values;
}

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
      // A tie takes the first branch: r = -1, d = 2 gives +0.0; the second would give -0.0.
      {"Cdiv tie decides the zero's sign", Cdiv({0, 0}, {1, -1}), {0.0, 0.0}},
      {"Csqrt of a negative real", Csqrt({-4, 0}), {0, 2}},
      // sqrt(2) * sqrt(0.5) rounds up: the root of 2i is 1 only to the last bit.
      {"Csqrt of an imaginary", Csqrt({0, 2}), {0x1.0000000000001p+0, 0x1.ffffffffffffep-1}},
      {"Csqrt", Csqrt({3, 4}), {2, 1}},
      {"Csqrt, third quadrant", Csqrt({-3, -4}), {1, -2}},
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

TEST(ComplexArithmetic, ScaledOperationsFollowTheirBranchesOverExtremeAndRandomInputs) {
  std::vector<double> const extremes = extreme_components();
  std::vector<DCOMPLEX> values;
  for (double re : extremes)
    for (double im : extremes) values.push_back({re, im});
  std::vector<double> const random = random_components(4000);
  for (std::size_t k = 0; k + 1 < random.size(); k += 2) values.push_back({random[k], random[k + 1]});
  // Ties at random magnitudes.
  for (std::size_t k = 0; k < 200; ++k) values.push_back({random[k], -random[k]});

  for (DCOMPLEX z : values) {
    EXPECT_TRUE(same(reference_abs(z), Cabs(z))) << "Cabs(" << z.real << ", " << z.imag << ")";
    EXPECT_SAME_COMPLEX(reference_sqrt(z), Csqrt(z), "Csqrt(" << z.real << ", " << z.imag << ")");
  }
  std::size_t const pairs = values.size();
  for (std::size_t k = 0; k < pairs; ++k)
    for (std::size_t step : {std::size_t{1}, std::size_t{7}, std::size_t{101}, pairs / 2 + 3}) {
      DCOMPLEX a = values[k], b = values[(k * 31 + step) % pairs];
      EXPECT_SAME_COMPLEX(reference_div(a, b), Cdiv(a, b),
                          "Cdiv((" << a.real << ", " << a.imag << "), (" << b.real << ", " << b.imag << "))");
    }
}

TEST(ComplexArithmetic, ScalingKeepsModulusAndRootFiniteWhereSquaresWouldOverflowOrVanish) {
  double const big = std::numeric_limits<double>::max() / 2;
  EXPECT_TRUE(std::isfinite(Cabs({big, big / 3})));
  EXPECT_GT(Cabs({1e-310, 1e-310}), 0.0) << "squares of subnormals vanish; the scaled form does not";
  DCOMPLEX root = Csqrt({-big, big});
  EXPECT_TRUE(std::isfinite(root.real) && std::isfinite(root.imag));
  EXPECT_GE(root.real, 0.0);
  EXPECT_GT(root.imag, 0.0);
}

TEST(ComplexArithmetic, ADivisorOfZeroGivesNotANumber) {
  DCOMPLEX q = Cdiv({1, 2}, {0, 0});
  EXPECT_TRUE(std::isnan(q.real));
  EXPECT_TRUE(std::isnan(q.imag));
}

}  // namespace
