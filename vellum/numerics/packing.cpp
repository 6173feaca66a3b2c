#include <vellum/numerics/packing.h>

#include <cmath>
#include <initializer_list>

#include <vellum/numerics/parts.h>
#include <vellum/values/error_texts.h>

namespace text = vellum::error_text;
using vellum::ScratchArray;
using vellum::numerics::adopt_result;
using vellum::numerics::cell;
using vellum::cell_count;
using vellum::numerics::imag_cell;
using vellum::numerics::real_cell;
using vellum::numerics::store_imag;
using vellum::numerics::store_real;
using vellum::numerics::vector_entry;

namespace {

using Part = double* aMatrix::*;

// Copies rows x cols cells of one part of an operand into a part of the result, with its corner
// at (row0, col0). An absent result part takes the write rule, rows in the outer loop, so a
// missing array is created by the first non-zero element.
void place(aMatrix* result, Part part, double const* source, std::int32_t source_ld, std::int32_t rows,
           std::int32_t cols, std::int32_t row0, std::int32_t col0) noexcept {
  if (double* target = result->*part) {
    for (std::int32_t j = 0; j < cols; ++j)
      for (std::int32_t i = 0; i < rows; ++i)
        target[vellum::cell_index(result->ld, row0 + i, col0 + j)] = cell(source, source_ld, i, j);
    return;
  }
  for (std::int32_t i = 0; i < rows; ++i)
    for (std::int32_t j = 0; j < cols; ++j)
      vellum::set_elem_grow(&(result->*part), result->ld, row0 + i, col0 + j, result->size,
                            cell(source, source_ld, i, j));
}

// A rows x cols join result whose arrays are not tested: either may be absent.
aMatrix* untested_result(EfiCallContext* context, std::int32_t rows, std::int32_t cols, bool complex) {
  std::size_t const cells = cell_count(rows, cols);
  ScratchArray real(cells);
  ScratchArray imag = complex ? ScratchArray(cells) : ScratchArray();
  return adopt_result(context, rows, cols, real, imag);
}

// Operands side by side from column 0, each over A's rows, real parts and (when `complex`)
// imaginary parts.
bool join_side_by_side(EfiCallContext* context, std::initializer_list<aMatrix*> operands, aMatrix** out,
                       bool complex) {
  aMatrix* const first = *operands.begin();
  std::int32_t cols = 0;
  for (aMatrix* m : operands) cols += m->cols;
  aMatrix* result = untested_result(context, first->rows, cols, complex);
  *out = result;
  std::int32_t col0 = 0;
  for (aMatrix* m : operands) {
    place(result, &aMatrix::real, m->real, m->ld, first->rows, m->cols, 0, col0);
    if (complex) place(result, &aMatrix::imag, m->imag, m->ld, first->rows, m->cols, 0, col0);
    col0 += m->cols;
  }
  return true;
}

// A compact copy of M's parts; the imaginary array is made when M has one or `add_imag`.
char const* copy_matrix(EfiCallContext* context, aMatrix* M, aMatrix** out, bool add_imag) {
  std::size_t const cells = cell_count(M->rows, M->cols);
  ScratchArray real(cells);
  if (!real) return text::out_of_memory;
  bool const complex = add_imag || M->imag;
  ScratchArray imag = complex ? ScratchArray(cells) : ScratchArray();
  if (complex && !imag) return text::out_of_memory;
  double* re = real.get();
  double* im = imag.get();
  *out = adopt_result(context, M->rows, M->cols, real, imag);
  for (std::int32_t j = 0; j < M->cols; ++j)
    for (std::int32_t i = 0; i < M->rows; ++i) {
      std::ptrdiff_t const e = vellum::cell_index(M->rows, i, j);
      re[e] = real_cell(M, i, j);
      if (im) im[e] = imag_cell(M, i, j);
    }
  return nullptr;
}

// Position of (r, c), r >= c, in the packed lower triangle of order n.
std::ptrdiff_t packed_index(std::int32_t n, std::int32_t r, std::int32_t c) noexcept {
  return static_cast<std::ptrdiff_t>(c) * (2 * static_cast<std::ptrdiff_t>(n) - c - 1) / 2 + r;
}

std::ptrdiff_t triangle(std::ptrdiff_t n) noexcept { return n * (n + 1) / 2; }

// The largest n with n(n+1)/2 <= length.
std::int32_t triangle_order(std::int32_t length) noexcept {
  if (length < 1) return 0;
  auto n = static_cast<std::int32_t>((std::sqrt(8.0 * length + 1.0) - 1.0) / 2.0);
  while (triangle(n) > length) --n;
  while (triangle(n + 1) <= length) ++n;
  return n;
}

}  // namespace

bool pack_two_r(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix** out) {
  return join_side_by_side(context, {A, B}, out, false);
}

bool pack_three_r(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix* C, aMatrix** out) {
  return join_side_by_side(context, {A, B, C}, out, false);
}

bool pack_three_c(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix* C, aMatrix** out) {
  return join_side_by_side(context, {A, B, C}, out, true);
}

bool pack_two_rr(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix** out) {
  aMatrix* result = untested_result(context, A->rows + B->rows, A->cols, false);
  *out = result;
  place(result, &aMatrix::real, A->real, A->ld, A->rows, A->cols, 0, 0);
  place(result, &aMatrix::real, B->real, B->ld, B->rows, A->cols, A->rows, 0);
  return true;
}

char const* matrix_copy(EfiCallContext* context, aMatrix* M, aMatrix** out) {
  return copy_matrix(context, M, out, false);
}

char const* matrix_copy_add_imag(EfiCallContext* context, aMatrix* M, aMatrix** out) {
  return copy_matrix(context, M, out, true);
}

void real_to_complex_v(aRealVec* source, aVector* destination) {
  for (std::int32_t k = 0; k < source->rows; ++k) {
    store_real(destination, k, 0, vector_entry(source, k));
    if (destination->imag) destination->imag[k] = 0.0;
  }
}

void real_to_complex_m(aRealMatrix* source, aMatrix* destination) {
  for (std::int32_t i = 0; i < source->rows; ++i)
    for (std::int32_t j = 0; j < source->cols; ++j) {
      store_real(destination, i, j, real_cell(source, i, j));
      vellum::set_elem(destination->imag, destination->ld, i, j, 0.0);
    }
}

char const* lower_matrix_2_vector(EfiCallContext* context, aMatrix* M, aVector** out) {
  *out = nullptr;
  if (!M || !M->real) return nullptr;
  if (M->rows < 1) return text::invalid_dimension;
  if (M->cols < 1) return text::invalid_dimension;
  if (M->cols != M->rows) return text::must_be_square;
  std::int32_t const n = M->rows;
  auto const length = static_cast<std::int32_t>(triangle(n));
  ScratchArray packed(cell_count(length, 1));
  if (!packed) return text::out_of_memory;
  double* v = packed.get();
  for (std::int32_t c = 0; c < n; ++c)
    for (std::int32_t r = c; r < n; ++r) v[packed_index(n, r, c)] = M->real[vellum::cell_index(M->ld, r, c)];
  ScratchArray no_imag;
  *out = static_cast<aVector*>(adopt_result(context, length, 1, packed, no_imag));
  return nullptr;
}

char const* vector_2_lower_matrix(EfiCallContext* context, aVector* v, aMatrix** out) {
  std::int32_t const n = triangle_order(v->rows);
  ScratchArray real(cell_count(n, n));
  if (!real) return text::out_of_memory;
  ScratchArray no_imag;
  double* r = real.get();
  *out = adopt_result(context, n, n, real, no_imag);
  for (std::int32_t c = 0; c < n; ++c)
    for (std::int32_t row = c; row < n; ++row) {
      r[vellum::cell_index(n, row, c)] = vector_entry(v, static_cast<std::int32_t>(packed_index(n, row, c)));
      if (row != c) r[vellum::cell_index(n, c, row)] = 0.0;
    }
  return nullptr;
}

void renormalize_matrix_cols(aMatrix* M) {
  for (std::int32_t c = 0; c < M->cols; ++c) {
    double sum = 0.0;
    for (std::int32_t r = 0; r < M->rows; ++r) {
      double const re = real_cell(M, r, c);
      double const im = imag_cell(M, r, c);
      sum = sum + (re * re + im * im);
    }
    double const norm = std::sqrt(sum);
    if (norm == 0.0) return;
    for (std::int32_t r = 0; r < M->rows; ++r) {
      store_real(M, r, c, real_cell(M, r, c) / norm);
      store_imag(M, r, c, imag_cell(M, r, c) / norm);
    }
  }
}
