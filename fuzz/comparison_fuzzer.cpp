// newApproxEq and nonint on arbitrary doubles: no fault, and the properties that follow from
// their definitions.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <limits>

#include <fuzzer/FuzzedDataProvider.h>

#include <vellum/numerics/comparison.h>

namespace {

void fail(char const* what, double a, double b) {
  std::fprintf(stderr, "%s: a = %a, b = %a\n", what, a, b);
  std::abort();
}
#define CHECK(condition, a, b) \
  do {                         \
    if (!(condition)) fail(#condition, a, b); \
  } while (0)

// A double from the input: raw bit patterns, or an integer plus a small offset, which is where
// the interesting cases of the integer test lie.
double any_double(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
    case 1:
      return static_cast<double>(in.ConsumeIntegral<std::int32_t>()) + in.ConsumeFloatingPointInRange(-1.0, 1.0);
    case 2:
      return static_cast<double>(in.ConsumeIntegral<std::int64_t>() >> in.ConsumeIntegralInRange(0, 40));
    default:
      return in.ConsumeFloatingPoint<double>();
  }
}

void check_approx_eq(double a, double b) {
  bool const eq = newApproxEq(a, b);
  // The mean magnitude and the size of the difference do not depend on the order or on a
  // common sign: negation is exact.
  CHECK(newApproxEq(b, a) == eq, a, b);
  double const na = -a, nb = -b;
  CHECK(newApproxEq(na, nb) == eq, a, b);
  // Every value equals itself (a NaN too: its quotient is not a number, which is never "at
  // least the tolerance").
  CHECK(newApproxEq(a, a), a, a);
  // Zeros of either sign are equal to each other only.
  if (a == 0.0 && b == 0.0) CHECK(eq, a, b);
  // Against zero the quotient is 2, unless the mean is not representable (half the smallest
  // subnormal rounds to zero, which counts as two zeros) or infinite (quotient NaN).
  if (a == 0.0 && std::isfinite(b) && std::fabs(b) >= 0x1p-1073) CHECK(!eq, a, b);
  // Opposite signs: the difference is the sum of the magnitudes, twice the mean, so quotient 2;
  // only a sum that overflows (mean and difference infinite) gives a NaN quotient.
  if (std::isfinite(a) && std::isfinite(b) && ((a > 0 && b < 0) || (a < 0 && b > 0)) &&
      std::isfinite(std::fabs(a) + std::fabs(b)))
    CHECK(!eq, a, b);
  // Neighbouring finite normal doubles differ by far less than the tolerance.
  if (std::isnormal(a) && std::isfinite(std::nextafter(a, 0.0))) CHECK(newApproxEq(a, std::nextafter(a, 0.0)), a, b);
  // The comparison is relative: scaling both by a power of two changes nothing while neither
  // the values nor their sum leave the normal range.
  if (std::isnormal(a) && std::isnormal(b) && std::fabs(a) < 0x1p900 && std::fabs(b) < 0x1p900 &&
      std::fabs(a) > 0x1p-900 && std::fabs(b) > 0x1p-900 && (a == b || std::fabs(a - b) > 0x1p-900)) {
    CHECK(newApproxEq(std::ldexp(a, 100), std::ldexp(b, 100)) == eq, a, b);
    CHECK(newApproxEq(std::ldexp(a, -100), std::ldexp(b, -100)) == eq, a, b);
  }
}

void check_nonint(double x, FuzzedDataProvider& in, double imag) {
  int const r = nonint(x);
  CHECK(r == 0 || r == 1, x, 0.0);
  if (r == 0 && !std::isnan(x)) {
    // Accepted: in range, zero or of magnitude one or more, and within 1e-10 of an integer.
    CHECK(x >= -2147483648.0 && x <= 2147483647.0, x, 0.0);
    CHECK(x == 0.0 || std::fabs(x) >= 1.0, x, 0.0);
    CHECK(std::fabs(x - std::nearbyint(x)) <= 1e-10, x, 0.0);
  }
  // Outside the 32-bit range: never accepted.
  if (x > 2147483647.0 || x < -2147483648.0) CHECK(r == 1, x, 0.0);
  // Within the range but the lowest integer, the test looks at |x| only: for x = n + e the
  // rounded-down neighbour of x + 0.1 is n whenever e lies within 0.1 of zero, and the
  // difference x - n is exact, so x and -x give the same answer.
  if (std::fabs(x) <= 2147483647.0) CHECK(nonint(-x) == r, x, -x);
  // Every 32-bit integer is accepted; nudged by at least 1e-6 (and at most 0.45) it is not.
  auto k = in.ConsumeIntegral<std::int32_t>();
  CHECK(nonint(static_cast<double>(k)) == 0, static_cast<double>(k), 0.0);
  double d = in.ConsumeFloatingPointInRange(1e-6, 0.45) * (in.ConsumeBool() ? 1.0 : -1.0);
  double nudged = static_cast<double>(k) + d;
  CHECK(nonint(nudged) == 1, nudged, d);
  // Nudged by less than 1e-11, an integer below 2^20 is still accepted, unless the nudge takes
  // it below magnitude one (every non-zero value there is rejected, however close to 1 it is).
  if (k != 0 && std::abs(k) < (1 << 20)) {
    double close = static_cast<double>(k) + in.ConsumeFloatingPointInRange(-1e-11, 1e-11);
    CHECK(nonint(close) == (std::fabs(close) < 1.0 ? 1 : 0), close, 0.0);
  }
  // The host complex number: any imaginary part but zero rejects; a zero one defers to the real part.
  aComplex z{};
  z.tag = ValueTag::Complex;
  z.real = x;
  z.imag = imag;
  int const rz = nonint(nullptr, &z);
  CHECK(rz == (imag != 0.0 || std::isnan(imag) ? 1 : r), x, imag);
  CHECK(z.real == x || std::isnan(x), x, imag);  // read only
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  double a = any_double(in);
  double b = in.ConsumeBool() ? a * (1.0 + in.ConsumeFloatingPointInRange(-1e-11, 1e-11)) : any_double(in);
  check_approx_eq(a, b);
  double imag = in.ConsumeBool() ? (in.ConsumeBool() ? -0.0 : 0.0) : any_double(in);
  check_nonint(a, in, imag);
  check_nonint(b, in, imag);
  return 0;
}
