#include <vellum/numerics/comparison.h>

#include <cmath>

namespace {
constexpr double kRelativeTolerance = 1e-12;
constexpr double kIntegerTolerance = 1e-10;
// Added before rounding down, so that a value just below an integer rounds to that integer.
constexpr double kRoundingShift = 0.1;
constexpr double kLargestInt = 2147483647.0;
constexpr double kSmallestInt = -2147483648.0;
}  // namespace

bool newApproxEq(double const& a, double const& b) {
  double const mean = (std::fabs(a) + std::fabs(b)) * 0.5;
  if (mean == 0.0) return true;
  double const q = std::fabs((b - a) / mean);
  return !(q >= kRelativeTolerance);
}

int nonint(double x) {
  if (x > kLargestInt) return 1;
  if (x < kSmallestInt) return 1;
  if (std::fabs(x) < 1.0 && x != 0.0) return 1;
  double const f = std::floor(x + kRoundingShift);
  if (std::fabs(x - f) > kIntegerTolerance) return 1;
  return 0;
}

int nonint(EfiCallContext*, aComplex* z) {
  if (z->imag != 0.0) return 1;
  return nonint(z->real);
}
