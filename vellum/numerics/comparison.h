// Argument checks for packs: approximate equality of doubles and integer tests.
#pragma once

#include <vellum/values/allocator.h>
#include <vellum/values/complex.h>

// True when |(b - a) / m| < 1e-12, m being the mean magnitude (|a| + |b|) / 2; two zeros of
// either sign are equal. Only a quotient of at least 1e-12 says "different", so a not-a-number
// quotient (from a NaN or from infinities) counts as equal.
VELLUM_API bool newApproxEq(double const& a, double const& b);
// 1 when x is not usable as a 32-bit integer, else 0: outside [-2147483648, 2147483647], of
// magnitude below one without being zero, or farther than 1e-10 from floor(x + 0.1). A NaN
// fails none of these tests and gives 0.
VELLUM_API int nonint(double x);
// 1 when z has a non-zero imaginary part, else nonint of its real part. The context is unused.
VELLUM_API int nonint(EfiCallContext* context, aComplex* z);
