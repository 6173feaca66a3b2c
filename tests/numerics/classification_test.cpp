// Hermitian and symmetric tests, and the cell-kind predicates over rows, columns and matrices.
#include <cmath>
#include <limits>

#include "tests/numerics/matrices.h"

namespace vellum::test {
namespace {

using Classification = NumericsTest;

TEST_F(Classification, HermitianAndSymmetricFormsCompareExactly) {
  double const next_after_one = std::nextafter(1.0, 2.0);
  double const nested = make_nested_cell(aString::mk(allocator, "x"));
  struct Case {
    char const* what;
    aMatrix* M;
    bool hermitian, symmetric;
  };
  Case const cases[] = {
      // Columns: rows (2, 1 - i) and (1 + i, 3).
      {"hermitian", matrix(2, 2, V{2, 1, 1, 3}, V{0, 1, -1, 0}), true, false},
      {"a diagonal with an imaginary part", matrix(2, 2, V{2, 1, 1, 3}, V{1, 1, -1, 0}), false, false},
      {"rows (1, i) and (i, 1)", matrix(2, 2, V{1, 0, 0, 1}, V{0, 1, 1, 0}), false, true},
      {"rows (1, i) and (-i, 1)", matrix(2, 2, V{1, 0, 0, 1}, V{0, -1, 1, 0}), true, false},
      {"real symmetric, padded", matrix(3, 3, V{1, 2, 3, 2, 5, 6, 3, 6, 9}, kAbsent, 5), true, true},
      {"one ulp off its mirror", matrix(2, 2, V{1, 1, next_after_one, 1}), false, false},
      {"-0.0 equals 0.0", matrix(2, 2, V{1, -0.0, 0.0, 1}, V{0, -0.0, 0.0, 0}), true, true},
      {"1 x 1 real", matrix(1, 1, V{4}), true, true},
      {"1 x 1 NaN", matrix(1, 1, V{std::numeric_limits<double>::quiet_NaN()}), false, true},
      {"no parts: zeros", matrix(2, 2, kAbsent), true, true},
      // More rows than columns: the leading square is tested; never symmetric.
      {"3 x 2 with a hermitian top", matrix(3, 2, V{1, 2, 8, 2, 1, 9}), true, false},
      {"2 x 3", matrix(2, 3, V{1, 0, 0, 1, 0, 0}), false, false},
      // Nested cells never compare equal, not even with themselves.
      {"1 x 1 nested", matrix(1, 1, V{nested}), false, true},
      {"nested mirrors", matrix(2, 2, V{1, nested, nested, 1}), false, false},
  };
  for (Case const& c : cases) {
    bool result = !c.hermitian;
    EXPECT_EQ(hermtest(c.M, result), nullptr) << c.what;
    EXPECT_EQ(result, c.hermitian) << c.what;
    EXPECT_EQ(symmetry(c.M), c.symmetric) << c.what;
  }
}

TEST_F(Classification, HermtestWithoutRowsOrColumnsIsAnInvalidDimension) {
  for (aMatrix* M : {matrix(0, 2, V{}), aMatrix::mk(allocator, 2, 0, 0, nullptr, nullptr, 0)}) {
    M->cols = M->rows == 0 ? 2 : 0;  // a record the constructors would not make: 0 columns
    bool result = true;
    EXPECT_STREQ(hermtest(M, result), et::invalid_dimension);
    EXPECT_FALSE(result);
  }
}

TEST_F(Classification, CellKindsOfRowsColumnsAndWholeMatrices) {
  aString* s = aString::mk(allocator, "text");
  aMatrix* inner = matrix(1, 1, V{1});
  double const str = make_nested_cell(s);
  double const ptr = make_nested_cell(inner);
  double const num = 2.0;
  // A NaN whose upper word is not all ones is a number.
  double const nan = std::numeric_limits<double>::quiet_NaN();

  // Each case is one line of cells, laid out as row 1 of a 3-row matrix (and, transposed, as
  // column 1 of a 3-column matrix) whose other cells are numbers.
  struct Case {
    char const* what;
    V line;
    bool contains, mixed, pure_ptr, pure_string, has_string;
  };
  Case const cases[] = {
      {"string and number", {str, num}, true, true, false, false, true},
      {"nested values only", {ptr, ptr}, true, false, true, false, false},
      {"strings only", {str, str}, true, false, false, true, true},
      {"numbers only", {num, nan}, false, false, false, false, false},
      {"nested, then a string", {ptr, str}, true, false, false, false, true},
      {"number, then nested", {nan, ptr, num}, true, true, false, false, false},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.what);
    int const n = static_cast<int>(c.line.size());
    V by_rows(static_cast<std::size_t>(3 * n), num), by_cols(static_cast<std::size_t>(3 * n), num);
    for (int k = 0; k < n; ++k) {
      by_rows[static_cast<std::size_t>(3 * k + 1)] = c.line[static_cast<std::size_t>(k)];  // row 1 of 3 x n
      by_cols[static_cast<std::size_t>(n + k)] = c.line[static_cast<std::size_t>(k)];      // column 1 of n x 3
    }
    aMatrix* rows = matrix(3, n, by_rows, kAbsent, 4);
    aMatrix* cols = matrix(n, 3, by_cols);
    EXPECT_EQ(row_contains_ptrs(rows, 1), c.contains);
    EXPECT_EQ(col_contains_ptrs(cols, 1), c.contains);
    EXPECT_EQ(row_mixed_with_num_ptr(rows, 1), c.mixed);
    EXPECT_EQ(col_mixed_with_num_ptr(cols, 1), c.mixed);
    EXPECT_EQ(row_is_pure_ptr(rows, 1), c.pure_ptr);
    EXPECT_EQ(col_is_pure_ptr(cols, 1), c.pure_ptr);
    EXPECT_EQ(row_is_pure_string(rows, 1), c.pure_string);
    EXPECT_EQ(col_is_pure_string(cols, 1), c.pure_string);
    EXPECT_EQ(contains_ptrs(rows), c.contains);
    EXPECT_EQ(contains_string(cols), c.has_string);
    // The neighbouring lines hold numbers only.
    EXPECT_FALSE(row_contains_ptrs(rows, 0));
    EXPECT_FALSE(col_contains_ptrs(cols, 2));
  }
  host.keep(s);
  host.keep(inner);
}

TEST_F(Classification, WithoutARealPartOrCellsTheAnswersAreFixed) {
  aMatrix* no_real = matrix(2, 2, kAbsent, V{1, 2, 3, 4});
  aMatrix* no_rows = matrix(0, 2, V{});
  for (aMatrix* M : {no_real, no_rows}) {
    EXPECT_FALSE(contains_ptrs(M));
    EXPECT_FALSE(contains_string(M));
    EXPECT_FALSE(col_contains_ptrs(M, 0));
    EXPECT_FALSE(col_mixed_with_num_ptr(M, 1));
    EXPECT_TRUE(col_is_pure_ptr(M, 0));
    EXPECT_TRUE(col_is_pure_string(M, 1));
  }
  EXPECT_FALSE(row_contains_ptrs(no_real, 0));
  EXPECT_FALSE(row_mixed_with_num_ptr(no_real, 1));
  EXPECT_TRUE(row_is_pure_ptr(no_real, 0));
  EXPECT_TRUE(row_is_pure_string(no_real, 1));
}

}  // namespace
}  // namespace vellum::test
