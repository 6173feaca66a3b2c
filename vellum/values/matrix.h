// The matrix record (tag 5), which also carries every vector: a vector of n elements is an
// n x 1 matrix. Storage is column-major: cell (i, j) is element ld * j + i of each part array.
#pragma once

#include <vellum/values/allocator.h>
#include <vellum/values/complex.h>

struct aMatrix : Anyval {
  std::int32_t ld;               // doubles from the start of one column to the start of the next
  std::uint32_t size;            // bytes of each part array
  std::uint32_t host_word1;     // the host's; the constructors leave it as allocated
  double* real;                  // null: every real part is 0.0
  double* imag;                  // null: the matrix is real
  std::int32_t rows;
  std::int32_t cols;             // never 0 in a record made by mk
  std::uint32_t host_word2;     // the host's; 0 from the constructors
  std::uint32_t host_word3;     // the host's; 0 from the constructors

  // AllocMatrix, then the fields. A size of 0 means rows * cols * 8; 0 columns are stored as 1;
  // the leading dimension is size / (8 * stored columns). The arrays pass to the host.
  VELLUM_API static aMatrix* mk(IvlAllocator* allocator, int rows, int cols, double* real, double* imag,
                                unsigned size);
  // As above with the leading dimension given instead of computed.
  VELLUM_API static aMatrix* mk(IvlAllocator* allocator, int rows, int cols, int ld, double* real,
                                double* imag, unsigned size);
  // An (i + 1) x (j + 1) matrix, zero everywhere but cell (i, j), which holds z. Only the part
  // arrays that z needs are made (a real array of zeros when z is 0).
  VELLUM_API static aMatrix* mk(IvlAllocator* allocator, int i, int j, aComplex const* z);

  // Copies made by the host (CopyMatrix, DeepCopyMatrix); the flag passes through as 0 or 1.
  VELLUM_API static aMatrix* cp(IvlAllocator* allocator, aMatrix const* source, bool flag);
  VELLUM_API static aMatrix* deep_cp(IvlAllocator* allocator, aMatrix const* source, bool flag);
};
VELLUM_LAYOUT(aMatrix, ld, 4);
VELLUM_LAYOUT(aMatrix, size, 8);
VELLUM_LAYOUT(aMatrix, host_word1, 12);
VELLUM_LAYOUT(aMatrix, real, 16);
VELLUM_LAYOUT(aMatrix, imag, 20);
VELLUM_LAYOUT(aMatrix, rows, 24);
VELLUM_LAYOUT(aMatrix, cols, 28);
VELLUM_LAYOUT(aMatrix, host_word2, 32);
VELLUM_LAYOUT(aMatrix, host_word3, 36);
VELLUM_LAYOUT_SIZE(aMatrix, 40);
