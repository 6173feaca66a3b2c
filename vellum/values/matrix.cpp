#include <vellum/values/matrix.h>
#include <vellum/values/matrix_cells.h>

#include <cstring>
#include <memory>
#include <new>

namespace {
aMatrix* fill_matrix(IvlAllocator* allocator, int rows, int cols, double* real, double* imag, unsigned size,
                     int const* ld) {
  if (size == 0) size = static_cast<unsigned>(rows) * static_cast<unsigned>(cols) * 8u;
  aMatrix* record = nullptr;
  allocator->AllocMatrix(&record, real, imag, rows, cols, size);
  int stored_cols = cols == 0 ? 1 : cols;
  record->tag = ValueTag::Matrix;
  record->real = real;
  record->imag = imag;
  record->rows = rows;
  record->cols = stored_cols;
  record->size = size;
  record->ld = ld ? *ld : static_cast<std::int32_t>(size / (8u * static_cast<unsigned>(stored_cols)));
  record->host_word2 = 0;
  record->host_word3 = 0;
  return record;
}

struct OperatorDelete {
  void operator()(double* array) const noexcept { ::operator delete(array); }
};
using OwnedArray = std::unique_ptr<double, OperatorDelete>;

// Not tested for failure: std::bad_alloc leaves the constructor, and an array made before it
// is freed on the way.
OwnedArray zeroed_doubles(bool wanted, std::size_t count) {
  if (!wanted) return nullptr;
  if (count > SIZE_MAX / sizeof(double)) throw std::bad_alloc();
  OwnedArray array(static_cast<double*>(::operator new(count * sizeof(double))));
  std::memset(array.get(), 0, count * sizeof(double));
  return array;
}
}  // namespace

aMatrix* aMatrix::mk(IvlAllocator* allocator, int rows, int cols, double* real, double* imag, unsigned size) {
  return fill_matrix(allocator, rows, cols, real, imag, size, nullptr);
}

aMatrix* aMatrix::mk(IvlAllocator* allocator, int rows, int cols, int ld, double* real, double* imag,
                     unsigned size) {
  return fill_matrix(allocator, rows, cols, real, imag, size, &ld);
}

aMatrix* aMatrix::mk(IvlAllocator* allocator, int i, int j, aComplex const* z) {
  int rows = i + 1;
  int cols = j + 1;
  std::size_t count = vellum::cell_count(rows, cols);
  // A zero value still gets a real array (of zeros); an imaginary array only when needed.
  bool needs_real = z->real != 0.0 || z->imag == 0.0;
  bool needs_imag = z->imag != 0.0;
  OwnedArray real = zeroed_doubles(needs_real, count);
  OwnedArray imag = zeroed_doubles(needs_imag, count);
  aMatrix* record =
      mk(allocator, rows, cols, real.release(), imag.release(), static_cast<unsigned>(count * sizeof(double)));
  vellum::set_elem_grow(&record->real, record->ld, i, j, record->size, z->real);
  vellum::set_elem_grow(&record->imag, record->ld, i, j, record->size, z->imag);
  return record;
}

aMatrix* aMatrix::cp(IvlAllocator* allocator, aMatrix const* source, bool flag) {
  aMatrix* copy = nullptr;
  allocator->CopyMatrix(source, &copy, flag ? 1 : 0);
  return copy;
}

aMatrix* aMatrix::deep_cp(IvlAllocator* allocator, aMatrix const* source, bool flag) {
  aMatrix* copy = nullptr;
  allocator->DeepCopyMatrix(source, &copy, flag ? 1 : 0);
  return copy;
}
