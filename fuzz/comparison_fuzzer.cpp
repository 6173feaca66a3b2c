// nonint against a plain oracle and newApproxEq's properties on arbitrary doubles.
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"

#include <vellum/numerics/comparison.h>

#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  vellum::fuzz::Input in(data, size);
  auto any = [&] {  // raw bit patterns, or integers with small offsets where the integer test has its edges
    if (in.ConsumeBool()) return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
    double offset = in.ConsumeBool() ? in.ConsumeFloatingPointInRange(-1e-9, 1e-9) : in.ConsumeProbability<double>();
    return static_cast<double>(in.ConsumeIntegral<std::int32_t>() >> in.ConsumeIntegralInRange(0, 31)) + offset;
  };
  double const a = any(), b = in.ConsumeBool() ? a * (1 + in.ConsumeFloatingPointInRange(-1e-11, 1e-11)) : any();
  double const imag = in.ConsumeBool() ? 0.0 : any();
  std::string const pair = std::to_string(a) + ", " + std::to_string(b);
  // Neither the order nor a common sign changes the quotient; opposite signs differ by twice the
  // mean, quotient 2, unless that overflows.
  bool const eq = newApproxEq(a, b);
  CHECK(newApproxEq(b, a) == eq && newApproxEq(-a, -b) == eq && newApproxEq(a, a), pair);
  if (((a > 0 && b < 0) || (a < 0 && b > 0)) && std::isfinite(std::fabs(a) + std::fabs(b))) CHECK(!eq, pair);
  // Accepted: a NaN, or within the 32-bit range, 0 or at least 1 in magnitude and within 1e-10
  // of the nearest integer; a complex number also needs a zero imaginary part.
  for (double x : {a, b}) {
    bool const accepted = std::isnan(x) || (x >= -2147483648.0 && x <= 2147483647.0 && (x == 0 || std::fabs(x) >= 1) &&
                                            std::fabs(x - std::nearbyint(x)) <= 1e-10);
    aComplex z{};
    z.tag = ValueTag::Complex;
    z.real = x;
    z.imag = imag;
    CHECK(nonint(x) == !accepted && nonint(nullptr, &z) == (!accepted || imag != 0.0), pair);
  }
  return 0;
}
