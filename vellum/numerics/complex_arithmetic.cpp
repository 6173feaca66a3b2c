#include <vellum/numerics/complex_arithmetic.h>

#include <cmath>

DCOMPLEX Complex(double real, double imag) { return {real, imag}; }

DCOMPLEX Conjg(DCOMPLEX z) { return {z.real, -z.imag}; }

DCOMPLEX Cadd(DCOMPLEX a, DCOMPLEX b) { return {a.real + b.real, a.imag + b.imag}; }

DCOMPLEX Csub(DCOMPLEX a, DCOMPLEX b) { return {a.real - b.real, a.imag - b.imag}; }

DCOMPLEX Cmul(DCOMPLEX a, DCOMPLEX b) {
  return {a.real * b.real - a.imag * b.imag, a.imag * b.real + a.real * b.imag};
}

DCOMPLEX Cdiv(DCOMPLEX a, DCOMPLEX b) {
  if (std::fabs(b.real) >= std::fabs(b.imag)) {
    double r = b.imag / b.real;
    double d = b.real + r * b.imag;
    return {(a.real + r * a.imag) / d, (a.imag - r * a.real) / d};
  }
  double r = b.real / b.imag;
  double d = b.imag + r * b.real;
  return {(a.real * r + a.imag) / d, (a.imag * r - a.real) / d};
}

DCOMPLEX RCmul(double x, DCOMPLEX a) { return {x * a.real, x * a.imag}; }

double Cabs(DCOMPLEX z) {
  double x = std::fabs(z.real);
  double y = std::fabs(z.imag);
  if (x == 0.0) return y;
  if (y == 0.0) return x;
  if (x > y) {
    double t = y / x;
    return x * std::sqrt(1.0 + t * t);
  }
  double t = x / y;
  return y * std::sqrt(1.0 + t * t);
}

DCOMPLEX Csqrt(DCOMPLEX z) {
  if (z.real == 0.0 && z.imag == 0.0) return {0.0, 0.0};
  double x = std::fabs(z.real);
  double y = std::fabs(z.imag);
  double w;
  if (x >= y) {
    double t = y / x;
    w = std::sqrt(x) * std::sqrt(0.5 * (1.0 + std::sqrt(1.0 + t * t)));
  } else {
    double t = x / y;
    w = std::sqrt(y) * std::sqrt(0.5 * (t + std::sqrt(1.0 + t * t)));
  }
  if (z.real >= 0.0) return {w, z.imag / (2.0 * w)};
  double c = z.imag >= 0.0 ? w : -w;
  return {z.imag / (2.0 * c), c};
}
