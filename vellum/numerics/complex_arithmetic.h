// The arithmetic of DCOMPLEX values. The quotient, the modulus and the square root scale by the
// larger component so that no intermediate square overflows or underflows; their branches decide
// the last bits of the results and are kept exactly as documented beside each function.
#pragma once

#include <vellum/library/api.h>
#include <vellum/library/dcomplex.h>

VELLUM_API DCOMPLEX Complex(double real, double imag);
// The imaginary part is negated even when it is zero: (1, 0) gives (1, -0.0).
VELLUM_API DCOMPLEX Conjg(DCOMPLEX z);
VELLUM_API DCOMPLEX Cadd(DCOMPLEX a, DCOMPLEX b);
VELLUM_API DCOMPLEX Csub(DCOMPLEX a, DCOMPLEX b);
VELLUM_API DCOMPLEX Cmul(DCOMPLEX a, DCOMPLEX b);
// a / b. When |b.real| >= |b.imag| (ties included): r = bi/br, d = br + r*bi, result
// ((ar + r*ai)/d, (ai - r*ar)/d); otherwise r = br/bi, d = bi + r*br, result ((ar*r + ai)/d,
// (ai*r - ar)/d). A zero divisor is not tested and gives not-a-number parts.
VELLUM_API DCOMPLEX Cdiv(DCOMPLEX a, DCOMPLEX b);
VELLUM_API DCOMPLEX RCmul(double x, DCOMPLEX a);
// |z| as larger * sqrt(1 + (smaller/larger)^2); a zero component returns the other one's
// magnitude as it is.
VELLUM_API double Cabs(DCOMPLEX z);
// The principal root, real part never negative; a negative real z with a zero imaginary part
// has its root on the positive imaginary axis.
VELLUM_API DCOMPLEX Csqrt(DCOMPLEX z);
