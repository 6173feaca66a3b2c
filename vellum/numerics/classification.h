// Questions a pack asks of a matrix argument before working on it: is it Hermitian or
// symmetric, and what kinds of cells (numbers, nested values, strings) does the whole matrix, a
// row or a column hold. Cell kinds are read from the real part alone. None of them changes M.
#pragma once

#include <vellum/values/matrix.h>

// Whether M equals its conjugate transpose, compared exactly over the leading cols x cols
// square (a matrix with more rows than columns is tested on that square; one with fewer rows
// than columns cannot equal its conjugate transpose and is answered false). The result is set
// to false first; "invalid dimension" when M has no rows or no columns. A nested cell, being a
// not-a-number pattern, equals nothing, so a matrix that holds one is never Hermitian.
VELLUM_API char const* hermtest(aMatrix* M, bool& result);
// Whether M is square and equals its plain transpose in both parts (no conjugation), compared
// exactly; a nested cell off the diagonal makes it false.
VELLUM_API bool symmetry(aMatrix* M);

// The cell-kind predicates, one row each: (name, cells scanned, what is asked).
//   Any:   some cell is a nested cell          String: some cell is a string cell
//   Mixed: the line holds a nested cell and a number
//   Ptrs:  every cell is nested and none is a string    Strings: every cell is a string cell
// Without a real part, or with no cell to scan, the answer is that of a scan that found
// nothing decisive: false for Any, String and Mixed, true for Ptrs and Strings.
#define VELLUM_CELL_PREDICATES(X)               \
  X(contains_ptrs, Whole, Any)                  \
  X(row_contains_ptrs, Row, Any)                \
  X(col_contains_ptrs, Column, Any)             \
  X(contains_string, Whole, String)             \
  X(row_mixed_with_num_ptr, Row, Mixed)         \
  X(col_mixed_with_num_ptr, Column, Mixed)      \
  X(row_is_pure_ptr, Row, Ptrs)                 \
  X(col_is_pure_ptr, Column, Ptrs)              \
  X(row_is_pure_string, Row, Strings)           \
  X(col_is_pure_string, Column, Strings)

// What each kind of scan takes besides the matrix: nothing, a row index or a column index
// (from 0, inside the matrix).
#define VELLUM_CELL_SCAN_PARAMS_Whole aMatrix* M
#define VELLUM_CELL_SCAN_PARAMS_Row aMatrix* M, int row
#define VELLUM_CELL_SCAN_PARAMS_Column aMatrix* M, int col

#define VELLUM_DECLARE_CELL_PREDICATE(name, scan, question) VELLUM_API bool name(VELLUM_CELL_SCAN_PARAMS_##scan);
VELLUM_CELL_PREDICATES(VELLUM_DECLARE_CELL_PREDICATE)
#undef VELLUM_DECLARE_CELL_PREDICATE
