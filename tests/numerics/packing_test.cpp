// Joins, copies, triangles and column scaling through the host's records, with the write rule
// standing in for result arrays that could not be had.
#include <cmath>

#include "tests/numerics/matrices.h"

namespace vellum::test {
namespace {

using Packing = NumericsTest;

TEST_F(Packing, JoinsPlaceTheirOperandsAndIgnoreWhatLiesOutsideAsRows) {
  // A is 2 x 1; B is 3 x 2 with padding (ld 4), taller than A; C is 2 x 1 and complex.
  aMatrix* A = matrix(2, 1, V{1, 2}, V{-1, -2});
  aMatrix* B = matrix(3, 2, V{3, 4, 99, 5, 6, 99}, kAbsent, 4);
  aMatrix* C = matrix(2, 1, V{7, 8}, V{0.5, -0.0});
  aMatrix* R = nullptr;
  EXPECT_TRUE(pack_two_r(context, A, B, &R));
  expect_matrix(R, 2, 3, V{1, 2, 3, 4, 5, 6}, kAbsent);
  expect_compact(R);
  EXPECT_TRUE(pack_three_r(context, A, B, C, &R));
  expect_matrix(R, 2, 4, V{1, 2, 3, 4, 5, 6, 7, 8}, kAbsent);
  EXPECT_TRUE(pack_three_c(context, A, B, C, &R));
  expect_matrix(R, 2, 4, V{1, 2, 3, 4, 5, 6, 7, 8}, V{-1, -2, 0, 0, 0, 0, 0.5, -0.0});
  expect_compact(R);
  // One above the other: A (1 x 2) over B (2 x 3), of which the third column is ignored.
  aMatrix* top = matrix(1, 2, V{1, 2}, V{9, 9});
  aMatrix* bottom = matrix(2, 3, V{3, 4, 5, 6, 99, 99});
  EXPECT_TRUE(pack_two_rr(context, top, bottom, &R));
  expect_matrix(R, 3, 2, V{1, 3, 4, 2, 5, 6}, kAbsent);
  expect_compact(R);
  // Real operands still give pack_three_c an imaginary part, of zeros.
  aMatrix* two = matrix(1, 1, V{2});
  EXPECT_TRUE(pack_three_c(context, two, two, two, &R));
  expect_matrix(R, 1, 3, V{2, 2, 2}, V{0, 0, 0});
}

TEST_F(Packing, JoinsWithoutTheirArraysFallBackOnTheWriteRule) {
  aMatrix* A = matrix(2, 1, V{0, 3});
  aMatrix* B = matrix(2, 1, V{4, 0});
  aMatrix* zeros = matrix(2, 1, kAbsent);
  // The first array fails; the first non-zero element creates it, so nothing is lost.
  for (auto join : {pack_two_r, pack_two_rr}) {
    aMatrix* R = nullptr;
    {
      ScopedFailure failure(1);
      EXPECT_TRUE(join(context, A, B, &R));
    }
    ASSERT_NE(R->real, nullptr);
    EXPECT_EQ(R->real[1], 3.0);
    host.release(R);
  }
  // Nothing can be had: the result stays without arrays, and still nothing leaks.
  aMatrix* R = nullptr;
  {
    ScopedFailure failure(1, Mode::Persistent);
    EXPECT_TRUE(pack_three_c(context, A, B, A, &R));
  }
  EXPECT_EQ(R->real, nullptr);
  EXPECT_EQ(R->imag, nullptr);
  host.release(R);
  // Only zeros to store: an array that failed is never created.
  {
    ScopedFailure failure(1);
    EXPECT_TRUE(pack_two_r(context, zeros, zeros, &R));
  }
  expect_matrix(R, 2, 2, kAbsent, kAbsent);
  host.release(R);
  for (aMatrix* m : {A, B, zeros}) host.release(m);
  expect_nothing_left();
}

TEST_F(Packing, CopiesAreCompactAndComplexAsAsked) {
  aMatrix* real = matrix(2, 2, V{1, 2, 3, -0.0}, kAbsent, 3);
  aMatrix* complex = matrix(2, 1, V{1, 2}, V{3, 4}, 5);
  aMatrix* imaginary = matrix(1, 2, kAbsent, V{5, 6});
  struct Case {
    decltype(&matrix_copy) copy;
    aMatrix* M;
    Values real, imag;
  };
  Case const cases[] = {
      {matrix_copy, real, V{1, 2, 3, -0.0}, kAbsent},
      {matrix_copy, complex, V{1, 2}, V{3, 4}},
      {matrix_copy, imaginary, V{0, 0}, V{5, 6}},
      {matrix_copy_add_imag, real, V{1, 2, 3, -0.0}, V{0, 0, 0, 0}},
      {matrix_copy_add_imag, complex, V{1, 2}, V{3, 4}},
  };
  for (Case const& c : cases) {
    aMatrix* R = nullptr;
    ASSERT_EQ(c.copy(context, c.M, &R), nullptr);
    expect_matrix(R, c.M->rows, c.M->cols, c.real, c.imag);
    expect_compact(R);
  }
}

TEST_F(Packing, RealToComplexCopiesRealPartsAndClearsImaginaryEntriesOfTheCopiedCells) {
  aVector* destination = vector(V{9, 9, 9}, V{7, 7, 7});
  real_to_complex_v(view_as<aRealVec>(vector(V{1, 2})), destination);
  expect_matrix(destination, 3, 1, V{1, 2, 9}, V{0, 0, 7});
  aVector* real_only = vector(kAbsent, kAbsent, 2);
  real_to_complex_v(view_as<aRealVec>(vector(V{0, 5})), real_only);
  expect_matrix(real_only, 2, 1, V{0, 5}, kAbsent);
  real_to_complex_v(view_as<aRealVec>(vector(kAbsent, kAbsent, 0)), real_only);
  expect_matrix(real_only, 2, 1, V{0, 5}, kAbsent);

  // The destination keeps its own leading dimension (4) and the cells outside the source.
  aMatrix* target = matrix(3, 2, V{9, 9, 9, 9, 9, 9}, V{7, 7, 7, 7, 7, 7}, 4);
  real_to_complex_m(view_as<aRealMatrix>(matrix(2, 2, V{1, 2, 3, 4}, kAbsent, 3)), target);
  expect_matrix(target, 3, 2, V{1, 2, 9, 3, 4, 9}, V{0, 0, 7, 0, 0, 7});
  aMatrix* absent = matrix(2, 1, kAbsent);
  real_to_complex_m(view_as<aRealMatrix>(matrix(2, 1, V{0, -3})), absent);
  expect_matrix(absent, 2, 1, V{0, -3}, kAbsent);
}

TEST_F(Packing, LowerTrianglesPackColumnByColumnAndUnpackToLowerTriangularMatrices) {
  aMatrix* M = matrix(3, 3, V{0, 10, 20, 1, 11, 21, 2, 12, 22}, V(9, 5.0), 4);
  aVector* v = nullptr;
  ASSERT_EQ(lower_matrix_2_vector(context, M, &v), nullptr);
  expect_matrix(v, 6, 1, V{0, 10, 20, 11, 21, 22}, kAbsent);
  expect_compact(v);
  aMatrix* back = nullptr;
  ASSERT_EQ(vector_2_lower_matrix(context, v, &back), nullptr);
  expect_matrix(back, 3, 3, V{0, 10, 20, 0, 11, 21, 0, 0, 22}, kAbsent);
  expect_compact(back);

  ASSERT_EQ(vector_2_lower_matrix(context, vector(V{1, 2, 3}), &back), nullptr);
  expect_matrix(back, 2, 2, V{1, 2, 0, 3}, kAbsent);
  // Lengths that are no triangle number use the largest triangle they hold.
  for (auto [length, order] : {std::pair{2, 1}, {4, 2}, {9, 3}, {10, 4}, {0, 0}}) {
    V values(static_cast<std::size_t>(length));
    for (int k = 0; k < length; ++k) values[static_cast<std::size_t>(k)] = k + 1;
    ASSERT_EQ(vector_2_lower_matrix(context, vector(values, kAbsent, length), &back), nullptr);
    EXPECT_EQ(back->rows, order) << "length " << length;
    if (order > 0) {
      EXPECT_EQ(back->real[back->rows * back->rows - 1], order * (order + 1) / 2) << "last entry used";
    }
  }
}

TEST_F(Packing, RenormalizeScalesColumnsUntilTheFirstZeroColumn) {
  aMatrix* M = matrix(2, 2, V{3, 4, 0, 2});
  renormalize_matrix_cols(M);
  expect_matrix(M, 2, 2, V{0.6, 0.8, 0, 1}, kAbsent);

  aMatrix* stops = matrix(2, 3, V{3, 4, 0, 0, 3, 4});
  renormalize_matrix_cols(stops);
  expect_matrix(stops, 2, 3, V{0.6, 0.8, 0, 0, 3, 4}, kAbsent);

  // Both parts count; padding below the rows (ld 3) is not read.
  aMatrix* complex = matrix(2, 1, V{1, 1}, V{1, 1}, 3);
  renormalize_matrix_cols(complex);
  expect_matrix(complex, 2, 1, V{0.5, 0.5}, V{0.5, 0.5});
  aMatrix* imaginary = matrix(1, 1, kAbsent, V{-2});
  renormalize_matrix_cols(imaginary);
  expect_matrix(imaginary, 1, 1, kAbsent, V{-1});
}

}  // namespace
}  // namespace vellum::test
