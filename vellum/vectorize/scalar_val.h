// One complex scalar exchanged with a pack's scalar function: real part, then imaginary part.
#pragma once

struct scalar_val {
  double real;
  double imag;
};
static_assert(sizeof(scalar_val) == 16);
