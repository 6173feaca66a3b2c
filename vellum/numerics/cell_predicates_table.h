// The cell predicates of the matrix record, one row per predicate, and their parameter lists.
//
// No include guard: a table is undefined after use and included again where code is generated
// from it ("Big tables as data" in docs/architecture.md).

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
