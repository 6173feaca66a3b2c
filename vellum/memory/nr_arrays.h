// Offset-indexed numeric arrays: vectors, matrices and three-dimensional arrays indexed from any
// low bound in every dimension. The caller names an inclusive range lo..hi per dimension (rows,
// then columns, then depth) and receives a pointer through which v[i], m[i][j] or t[i][j][k]
// reach exactly the elements of those ranges. All storage comes from VellumAllocate, so every
// element starts as zero bytes and every pointer slot not set is null.
//
// Element sizes are the platform's: unsigned char 1 byte, int and float 4, double 8, DCOMPLEX 16;
// unsigned long is 4 bytes on Windows and on 32-bit Linux but 8 bytes on 64-bit Linux (LP64), and
// its arrays hold elements of that size.
//
// Layouts. "Moved back by lo - 1 entries" means the address lo - 1 entries before the block's own,
// so that index lo falls on the block's second entry; the first entry is a spare (lo = 0 moves the
// address one entry forward and puts the spare at index -1).
//
// - One dimension: one block of hi - lo + 2 elements, handed out moved back by lo - 1.
// - Block layout (nrow, ncol, ndep the lengths of the ranges): a row-pointer block of nrow + 1
//   slots, handed out moved back by rlo - 1; in two dimensions one data block of nrow * ncol + 1
//   elements, element (i, j) at data entry 1 + (i - rlo) * ncol + (j - clo), each row pointing at
//   its first element moved back by clo - 1; in three dimensions a column-pointer block of
//   nrow * ncol + 1 slots (row i's slots start at slot 1 + (i - rlo) * ncol) and one data block
//   of nrow * ncol * ndep + 1 elements, element (i, j, k) at data entry
//   1 + ((i - rlo) * ncol + (j - clo)) * ndep + (k - dlo). Rows follow each other contiguously.
// - Segmented layout: a row-pointer block of rhi + 1 slots, handed out as it is (slots below rlo
//   stay null); for every row its own block of chi + 1 elements (two dimensions) or chi + 1 column
//   slots, each column with its own block of dhi + 1 elements (three dimensions), all unmoved.
//
// The operations without a layout in their name choose for two and three dimensions: with
// n = nrow * ncol + 1 (or nrow * ncol * ndep + 1) in wrapping unsigned 32-bit arithmetic, the
// segmented layout when n >= 0x3FFFFFFF for 4-byte elements or n >= 0x1FFFFFFF for doubles, the
// block layout otherwise. Their release applies the same test to the same bounds, so an array
// must be released by the operation, and with the bounds, that match its allocation.
//
// Allocation returns 1, or 0 with the pointer null and nothing left allocated when a range is
// empty (high below low: nothing is allocated at all) or memory is exhausted. A block whose byte
// count does not fit VellumAllocate's 32-bit size cannot be had and fails the same way. Release
// leaves the pointer null; releasing through a null pointer does nothing.
#pragma once

#include <cstdint>

#include <vellum/library/api.h>
#include <vellum/library/dcomplex.h>
#include <vellum/memory/nr_arrays_table.h>




// Every row declares, for each element type T, with T*, T** or T*** by dimension:
//   int allocation(T*& array, lo, hi)                      and  void release(T*& array, lo, hi)
//   int allocation(T**& array, rlo, rhi, clo, chi)         and  void release(...the same...)
//   int allocation(T***& array, rlo, rhi, clo, chi, dlo, dhi)  and  void release(...the same...)
#define VELLUM_NR_DECLARE(allocation, release, layout, dimension, T)                                  \
  VELLUM_API int allocation(T VELLUM_NR_POINTER_##dimension& array, VELLUM_NR_BOUNDS_##dimension); \
  VELLUM_API void release(T VELLUM_NR_POINTER_##dimension& array, VELLUM_NR_BOUNDS_##dimension);
#define VELLUM_NR_DECLARE_ROW(allocation, release, layout, dimension, types) \
  VELLUM_NR_EACH_TYPE(VELLUM_NR_DECLARE, allocation, release, layout, dimension, types)

VELLUM_NR_ARRAY_OPERATIONS(VELLUM_NR_DECLARE_ROW)

#undef VELLUM_NR_DECLARE
#undef VELLUM_NR_DECLARE_ROW

#undef VELLUM_NR_ARRAY_OPERATIONS
#undef VELLUM_NR_EACH_TYPE
#undef VELLUM_NR_ONE_TYPE
#undef VELLUM_NR_CALL
#undef VELLUM_NR_APPLY
#undef VELLUM_NR_POINTER_1
#undef VELLUM_NR_POINTER_2
#undef VELLUM_NR_POINTER_3
#undef VELLUM_NR_BOUNDS_1
#undef VELLUM_NR_BOUNDS_2
#undef VELLUM_NR_BOUNDS_3
#include <vellum/library/macro_helpers_undef.h>
