// Building host values for calls and tests: matrices with a chosen leading dimension, absent
// part arrays and nested cells.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include <vellum/values/matrix.h>

namespace vellum::host {

// What the padding of a column (rows ld-1 .. rows) holds, so that a reader that ignores the
// leading dimension reads something conspicuous.
inline constexpr double kPaddingValue = -7.25e77;

struct MatrixLiteral {
  int rows = 0;
  int cols = 1;
  std::optional<std::vector<double>> real;  // column-major, rows * cols values; none: absent
  std::optional<std::vector<double>> imag;
  int ld = 0;                               // 0: rows
};

// A part array from operator new, as the host releases it.
struct PartArrayDelete {
  void operator()(double* array) const { ::operator delete(array); }
};
using PartArray = std::unique_ptr<double, PartArrayDelete>;
PartArray new_part_array(std::size_t count);

// A matrix record made through the allocator (aMatrix::mk) with part arrays from operator new.
aMatrix* make_matrix(IvlAllocator* allocator, MatrixLiteral const& literal);

}  // namespace vellum::host
