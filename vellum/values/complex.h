// The complex number record (tag 2); a real number is one whose imaginary part is 0.0.
#pragma once

#include <vellum/values/anyval.h>

struct aComplex : Anyval {
  std::int32_t reserved;  // 0 in the library's constants; never written by a constructor
  double real;
  double imag;
};
VELLUM_LAYOUT(aComplex, reserved, 4);
VELLUM_LAYOUT(aComplex, real, 8);
VELLUM_LAYOUT(aComplex, imag, 16);
VELLUM_LAYOUT_SIZE(aComplex, 24);
