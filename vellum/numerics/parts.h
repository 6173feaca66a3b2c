// Internal helpers of the numeric operations: reading cells of possibly absent part arrays,
// storing through the write rule, and building compact results from scratch arrays.
#pragma once

#include <cstddef>
#include <cstdint>

#include <vellum/memory/scratch_array.h>
#include <vellum/values/allocator.h>
#include <vellum/values/matrix.h>
#include <vellum/values/matrix_cells.h>

namespace vellum::numerics {

inline double cell(double const* part, std::int32_t ld, std::int32_t row, std::int32_t col) noexcept {
  return *elem_ptr(part, ld, row, col);
}
inline double real_cell(aMatrix const* m, std::int32_t row, std::int32_t col) noexcept {
  return cell(m->real, m->ld, row, col);
}
inline double imag_cell(aMatrix const* m, std::int32_t row, std::int32_t col) noexcept {
  return cell(m->imag, m->ld, row, col);
}
// Element k of a vector is entry k of its real part, whatever its leading dimension.
inline double vector_entry(aMatrix const* v, std::int32_t k) noexcept { return v->real ? v->real[k] : 0.0; }

// Stores through the write rule of the record (its own leading dimension and byte size).
inline void store_real(aMatrix* m, std::int32_t row, std::int32_t col, double value) noexcept {
  set_elem_grow(&m->real, m->ld, row, col, m->size, value);
}
inline void store_imag(aMatrix* m, std::int32_t row, std::int32_t col, double value) noexcept {
  set_elem_grow(&m->imag, m->ld, row, col, m->size, value);
}

// A compact rows x cols result that adopts the arrays (either may be empty).
inline aMatrix* adopt_result(EfiCallContext* context, std::int32_t rows, std::int32_t cols, ScratchArray& real,
                             ScratchArray& imag) {
  auto bytes = static_cast<unsigned>(cell_count(rows, cols) * sizeof(double));
  return aMatrix::mk(context->allocator, rows, cols, real.release(), imag.release(), bytes);
}

}  // namespace vellum::numerics
