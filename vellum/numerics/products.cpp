#include <vellum/numerics/products.h>

#include <cmath>

#include <vellum/numerics/parts.h>
#include <vellum/numerics/product_kernel.h>
#include <vellum/values/error_texts.h>

namespace text = vellum::error_text;
using vellum::ScratchArray;
using vellum::numerics::adopt_result;
using vellum::cell_count;
using vellum::numerics::real_cell;
using vellum::numerics::vector_entry;

namespace {

bool has_no_cells(aMatrix const* m) noexcept { return m->rows < 1 || m->cols < 1; }

aVector* make_vector(EfiCallContext* context, std::int32_t length, ScratchArray& real) {
  ScratchArray no_imag;
  return static_cast<aVector*>(adopt_result(context, length, 1, real, no_imag));
}

// Transposes in square blocks, so that both the column reads of M and the column writes of the
// result stay within a few cache lines per block.
constexpr std::int32_t kTransposeBlock = 32;

void transpose(double const* source, std::ptrdiff_t source_ld, std::int32_t rows, std::int32_t cols,
               double* out) noexcept {
  std::ptrdiff_t const out_ld = cols;  // the result is cols x rows, compact
  for (std::int32_t j0 = 0; j0 < rows; j0 += kTransposeBlock) {
    std::int32_t j1 = rows - j0 < kTransposeBlock ? rows : j0 + kTransposeBlock;
    for (std::int32_t i0 = 0; i0 < cols; i0 += kTransposeBlock) {
      std::int32_t i1 = cols - i0 < kTransposeBlock ? cols : i0 + kTransposeBlock;
      for (std::int32_t j = j0; j < j1; ++j)
        for (std::int32_t i = i0; i < i1; ++i) out[j * out_ld + i] = source[i * source_ld + j];
    }
  }
}

}  // namespace

char const* MMprod(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix** out) {
  std::int32_t const n = A->rows;
  std::int32_t const m = B->cols;
  std::int32_t const k = A->cols;
  std::size_t const cells = cell_count(n, m);
  ScratchArray real(cells);
  if (!real) return text::out_of_memory;
  ScratchArray imag = A->imag || B->imag ? ScratchArray(cells) : ScratchArray();
  if ((A->imag || B->imag) && !imag) return text::out_of_memory;  // real is released on return
  double* product = real.get();
  double* imag_part = imag.get();
  *out = adopt_result(context, n, m, real, imag);
  if (B->rows != k) return text::array_size_mismatch;
  vellum::numerics::multiply({n, m, k, A->real, A->ld, B->real, B->ld, product});
  // The product is that of the real parts; its imaginary part is zero.
  if (imag_part)
    for (std::size_t e = 0; e < cells; ++e) imag_part[e] = 0.0;
  return nullptr;
}

char const* MVprod(EfiCallContext* context, aMatrix* M, aVector* v, aVector** out) {
  if (has_no_cells(M)) return text::invalid_dimension;
  if (v->rows < 1) return text::invalid_dimension;
  if (v->rows != M->cols) return text::array_size_mismatch;
  ScratchArray w(cell_count(M->rows, 1));
  if (!w) return text::out_of_memory;
  // Column by column: every w[i] still sums its products from +0.0 in ascending p.
  double* sums = w.get();
  for (std::int32_t i = 0; i < M->rows; ++i) sums[i] = 0.0;
  for (std::int32_t p = 0; p < M->cols; ++p) {
    double const factor = vector_entry(v, p);
    if (M->real) {
      double const* column = M->real + static_cast<std::ptrdiff_t>(p) * M->ld;
      for (std::int32_t i = 0; i < M->rows; ++i) sums[i] = sums[i] + column[i] * factor;
    } else {
      for (std::int32_t i = 0; i < M->rows; ++i) sums[i] = sums[i] + 0.0 * factor;
    }
  }
  *out = make_vector(context, M->rows, w);
  return nullptr;
}

char const* Vcopy(EfiCallContext* context, aVector* v, aVector** out) {
  if (!v) return text::unknown_error;
  std::int32_t const n = v->rows;
  ScratchArray copy(cell_count(n, 1));
  if (!copy) return text::out_of_memory;
  for (std::int32_t k = 0; k < n; ++k) copy.get()[k] = vector_entry(v, k);
  *out = make_vector(context, n, copy);
  return nullptr;
}

char const* Vscalpr(aVector* a, aVector* b, double& result) {
  result = 0.0;
  if (a->rows < 1) return text::invalid_dimension;
  if (b->rows < 1) return text::invalid_dimension;
  if (a->rows != b->rows) return text::array_size_mismatch;
  for (std::int32_t k = 0; k < a->rows; ++k) result = result + vector_entry(a, k) * vector_entry(b, k);
  return nullptr;
}

char const* Mtrans(EfiCallContext* context, aMatrix* M, aMatrix** out) {
  if (has_no_cells(M)) return text::invalid_dimension;
  std::size_t const cells = cell_count(M->rows, M->cols);
  ScratchArray real(cells);
  if (!real) return text::out_of_memory;
  ScratchArray no_imag;
  double* transposed = real.get();
  *out = adopt_result(context, M->cols, M->rows, real, no_imag);
  if (M->real)
    transpose(M->real, M->ld, M->rows, M->cols, transposed);
  else
    for (std::size_t e = 0; e < cells; ++e) transposed[e] = 0.0;
  return nullptr;
}

char const* Mvector(EfiCallContext* context, double alpha, aMatrix* A, double beta, aMatrix* B, aMatrix** out) {
  if (has_no_cells(A)) return text::invalid_dimension;
  if (has_no_cells(B)) return text::invalid_dimension;
  if (beta != 0.0 && (B->rows != A->rows || B->cols != A->cols)) return text::array_size_mismatch;
  ScratchArray real(cell_count(A->rows, A->cols));
  if (!real) return text::out_of_memory;
  ScratchArray no_imag;
  double* r = real.get();
  *out = adopt_result(context, A->rows, A->cols, real, no_imag);
  std::int32_t const rows = A->rows;
  auto fill = [&](auto element) {
    for (std::int32_t j = 0; j < A->cols; ++j)
      for (std::int32_t i = 0; i < rows; ++i) r[static_cast<std::ptrdiff_t>(j) * rows + i] = element(i, j);
  };
  if (beta == 0.0)
    fill([&](std::int32_t i, std::int32_t j) { return real_cell(A, i, j) * alpha; });
  else if (alpha == 1.0 && beta == 1.0)
    fill([&](std::int32_t i, std::int32_t j) { return real_cell(A, i, j) + real_cell(B, i, j); });
  else if (alpha == 1.0 && beta == -1.0)
    fill([&](std::int32_t i, std::int32_t j) { return real_cell(A, i, j) - real_cell(B, i, j); });
  else
    fill([&](std::int32_t i, std::int32_t j) { return real_cell(A, i, j) * alpha + real_cell(B, i, j) * beta; });
  return nullptr;
}

char const* MtoVcol(aMatrix* M, int col, aVector* v) {
  if (!M || !v) return text::unknown_error;
  if (M->rows < 1) return text::invalid_dimension;
  if (M->cols < 1) return text::invalid_dimension;
  if (col < 0 || col > M->cols - 1) return text::index_out_of_bounds;
  for (std::int32_t r = 0; r < M->rows; ++r) {
    vellum::numerics::store_real(v, r, 0, real_cell(M, r, col));
    if (v->imag) v->imag[r] = 0.0;
  }
  return nullptr;
}

double Vnorm2(aVector* v) {
  double sum = 0.0;
  for (std::int32_t k = 0; k < v->rows; ++k) {
    double const x = vector_entry(v, k);
    sum = sum + x * x;
  }
  return std::sqrt(sum);
}

void zero_col(int col, int first_row, aMatrix* M) {
  if (!M->real) return;
  for (std::int32_t r = first_row; r < M->rows; ++r) vellum::set_elem(M->real, M->ld, r, col, 0.0);
}
