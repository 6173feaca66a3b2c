#include "host/library/values.h"

#include <memory>
#include <stdexcept>

#include <vellum/values/matrix_cells.h>

namespace vellum::host {

namespace {

double* part_array(std::optional<std::vector<double>> const& values, int rows, int cols, int ld) {
  if (!values) return nullptr;
  std::size_t cells = cell_count(rows, cols);
  if (values->size() != cells) throw std::invalid_argument("matrix literal: wrong number of values");
  std::size_t count = static_cast<std::size_t>(ld) * static_cast<std::size_t>(cols);
  auto* array = static_cast<double*>(::operator new(count * sizeof(double)));
  for (std::size_t k = 0; k < count; ++k) array[k] = kPaddingValue;
  for (int j = 0; j < cols; ++j)
    for (int i = 0; i < rows; ++i) array[cell_index(ld, i, j)] = (*values)[cell_index(rows, i, j)];
  return array;
}
}  // namespace

PartArray new_part_array(std::size_t count) {
  return PartArray(static_cast<double*>(::operator new(count * sizeof(double))));
}

aMatrix* make_matrix(IvlAllocator* allocator, MatrixLiteral const& literal) {
  int ld = literal.ld ? literal.ld : literal.rows;
  if (ld < literal.rows) throw std::invalid_argument("matrix literal: leading dimension below rows");
  PartArray real(part_array(literal.real, literal.rows, literal.cols, ld));
  PartArray imag(part_array(literal.imag, literal.rows, literal.cols, ld));
  unsigned size = static_cast<unsigned>(ld) * static_cast<unsigned>(literal.cols) * 8u;
  // The arrays are the host's from the call on, whether or not a record comes of it.
  return aMatrix::mk(allocator, literal.rows, literal.cols, ld, real.release(), imag.release(), size);
}

}  // namespace vellum::host
