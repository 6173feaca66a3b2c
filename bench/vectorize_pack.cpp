#include "bench/vectorize_pack.h"

#include <new>

namespace bench_pack {

void affine(scalar_val& r, scalar_val const& x) { r = {x.real * 1.5 + 0.25, x.imag * 0.5}; }
void sum(scalar_val& r, scalar_val const& x, scalar_val const& y) { r = {x.real + y.real, 0.0}; }

namespace {
double* fresh(std::size_t n) { return static_cast<double*>(::operator new(n * sizeof(double))); }
std::size_t cells(aMatrix const* m) { return static_cast<std::size_t>(m->rows) * static_cast<std::size_t>(m->cols); }
}  // namespace

Arrays real_vector_loop(vlScalarFn1 fn, aMatrix const* v) {
  std::size_t n = static_cast<std::size_t>(v->rows);
  double* out = fresh(n);
  scalar_val r;
  for (std::size_t k = 0; k < n; ++k) {
    fn(r, scalar_val{v->real[k], 0.0});
    out[k] = r.real;
  }
  return {out, nullptr};
}

Arrays real_matrix_to_complex_loop(vlScalarFn1 fn, aMatrix const* m) {
  double* re = fresh(cells(m));
  double* im = fresh(cells(m));
  scalar_val r;
  for (int j = 0; j < m->cols; ++j)
    for (int i = 0; i < m->rows; ++i) {
      fn(r, scalar_val{m->real[j * m->ld + i], 0.0});
      re[j * m->rows + i] = r.real;
      im[j * m->rows + i] = r.imag;
    }
  return {re, im};
}

Arrays complex_matrix_loop(vlScalarFn1 fn, aMatrix const* m) {
  double* re = fresh(cells(m));
  double* im = fresh(cells(m));
  scalar_val r;
  for (int j = 0; j < m->cols; ++j)
    for (int i = 0; i < m->rows; ++i) {
      fn(r, scalar_val{m->real[j * m->ld + i], m->imag[j * m->ld + i]});
      re[j * m->rows + i] = r.real;
      im[j * m->rows + i] = r.imag;
    }
  return {re, im};
}

Arrays real_pair_loop(vlScalarFn2 fn, aMatrix const* a, aMatrix const* b) {
  std::size_t n = static_cast<std::size_t>(a->rows);
  double* out = fresh(n);
  scalar_val r;
  for (std::size_t k = 0; k < n; ++k) {
    fn(r, scalar_val{a->real[k], 0.0}, scalar_val{b->real[k], 0.0});
    out[k] = r.real;
  }
  return {out, nullptr};
}

}  // namespace bench_pack
