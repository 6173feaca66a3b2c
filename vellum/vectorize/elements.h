// Element reads shared by every kernel: operands to scalar_val, and the nested-cell test.
#pragma once

#include <vellum/values/error_texts.h>
#include <vellum/values/matrix_cells.h>
#include <vellum/values/views.h>
#include <vellum/vectorize/scalar_val.h>

namespace vellum {

// Scalar operands, converted once before the first element. A pure real's stored imaginary
// part is never read.
inline scalar_val to_scalar(aComplex const& z) noexcept { return {z.real, z.imag}; }
inline scalar_val to_scalar(aPureReal const& z) noexcept { return {z.real, 0.0}; }

// Stops the kernel with the operand's "may not be nested" text when a real part is a nested cell.
inline void check_not_nested(double real_part, char const* text) {
  if (is_nested_cell(real_part)) [[unlikely]]
    error_text::raise(text);
}

}  // namespace vellum
