// DCOMPLEX, a plain complex value for packs that compute with complex scalars outside the host's
// records: the element of the complex offset arrays and the operand of the complex arithmetic.
#pragma once

#include <vellum/library/api.h>

struct DCOMPLEX {
  double real;
  double imag;
};
VELLUM_LAYOUT(DCOMPLEX, real, 0);
VELLUM_LAYOUT(DCOMPLEX, imag, 8);
VELLUM_LAYOUT_SIZE(DCOMPLEX, 16);
