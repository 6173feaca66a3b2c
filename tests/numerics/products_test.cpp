// Products and transforms through the host's records: shapes, error order, out-parameters and
// absent arrays. tests/faults sweeps their out-of-memory paths; here is what those leave in the
// caller's pointer, and the failures an operation can do without.
#include <cmath>
#include <functional>
#include <limits>
#include <random>

#include "tests/numerics/matrices.h"

namespace vellum::test {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

using Products = NumericsTest;

V random_values(std::mt19937_64& generator, std::size_t count) {
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  V values(count);
  for (double& x : values) x = unit(generator) * (generator() % 8 == 0 ? 1e30 : 1.0);
  return values;
}

// The plain loop over two records' real parts.
V naive_product(aMatrix const* A, aMatrix const* B) {
  V r(static_cast<std::size_t>(A->rows) * B->cols);
  for (int i = 0; i < A->rows; ++i)
    for (int j = 0; j < B->cols; ++j) {
      double s = 0.0;
      for (int p = 0; p < A->cols; ++p) s = s + *elem_ptr(A->real, A->ld, i, p) * *elem_ptr(B->real, B->ld, p, j);
      r[static_cast<std::size_t>(j) * A->rows + i] = s;
    }
  return r;
}

TEST_F(Products, MMprodMatchesThePlainLoopOverLeadingDimensionsAbsentAndComplexParts) {
  std::mt19937_64 generator(42);
  struct Case {
    int n, k, m;
    int lda, ldb;
    bool a_real, b_real, a_imag, b_imag;
  };
  Case const cases[] = {
      {2, 3, 2, 0, 0, true, true, false, false},     {29, 37, 31, 33, 40, true, true, false, false},
      {70, 5, 3, 71, 0, true, true, true, false},    {7, 66, 9, 0, 67, true, true, false, true},
      {13, 17, 11, 0, 0, false, true, false, false}, {13, 17, 11, 15, 0, true, false, true, true},
      {1, 300, 1, 0, 0, true, true, false, false},   {65, 1, 65, 0, 0, true, true, false, false},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(testing::Message() << c.n << "x" << c.k << " * " << c.k << "x" << c.m);
    auto part = [&](bool present, std::size_t count) -> Values {
      return present ? Values(random_values(generator, count)) : kAbsent;
    };
    std::size_t a_cells = static_cast<std::size_t>(c.n) * c.k, b_cells = static_cast<std::size_t>(c.k) * c.m;
    aMatrix* A = matrix(c.n, c.k, part(c.a_real, a_cells), part(c.a_imag, a_cells), c.lda);
    aMatrix* B = matrix(c.k, c.m, part(c.b_real, b_cells), part(c.b_imag, b_cells), c.ldb);
    aMatrix* R = kUntouched;
    ASSERT_EQ(MMprod(context, A, B, &R), nullptr);
    bool complex = c.a_imag || c.b_imag;
    // The imaginary part, when there is one, is zero: the product is that of the real parts.
    Values zeros = complex ? Values(V(static_cast<std::size_t>(c.n) * c.m, 0.0)) : kAbsent;
    expect_matrix(R, c.n, c.m, naive_product(A, B), zeros);
    expect_compact(R);
  }
}

TEST_F(Products, MMprodStoresTheUnfilledResultBeforeReportingAMismatchAndTakesNoRows) {
  aMatrix* A = matrix(2, 3, V(6, 1.0));
  aMatrix* B = matrix(2, 3, V(6, 1.0), V(6, 0.5));
  aMatrix* R = kUntouched;
  EXPECT_STREQ(MMprod(context, A, B, &R), et::array_size_mismatch);
  ASSERT_NE(R, kUntouched);
  EXPECT_TRUE(host.is_record(R));
  EXPECT_EQ(R->rows, 2);
  EXPECT_EQ(R->cols, 3);
  EXPECT_NE(R->real, nullptr);
  EXPECT_NE(R->imag, nullptr) << "B is complex";
  // A matrix without rows is an empty success.
  ASSERT_EQ(MMprod(context, empty(0, 3), matrix(3, 2, V(6, 1.0)), &R), nullptr);
  EXPECT_EQ(R->rows, 0);
  EXPECT_EQ(R->cols, 2);
}

TEST_F(Products, MVprodSumsInAscendingColumns) {
  // Column 1 of M has padding below its rows; 1e16 + 1 - 1e16 shows the order of the sums.
  aMatrix* M = matrix(2, 3, V{1e16, 2, 1, 3, -1e16, 4}, V(6, 9.0), 3);
  aVector* w = nullptr;
  ASSERT_EQ(MVprod(context, M, vector(V{1, 1, 1}), &w), nullptr);
  expect_matrix(w, 2, 1, V{(1e16 + 1.0) - 1e16, 2.0 + 3 + 4}, kAbsent);
  expect_compact(w);
  // An absent real part multiplies zeros: +0.0, and not-a-number against an infinity.
  ASSERT_EQ(MVprod(context, matrix(2, 2, kAbsent), vector(V{-1, kInf}), &w), nullptr);
  EXPECT_TRUE(std::isnan(w->real[0]) && std::isnan(w->real[1]));
  ASSERT_EQ(MVprod(context, matrix(2, 2, kAbsent), vector(V{-1, 2}), &w), nullptr);
  expect_matrix(w, 2, 1, V{0.0, 0.0}, kAbsent);
}

TEST_F(Products, VcopyCopiesTheRealEntriesOnly) {
  aVector* copy = nullptr;
  ASSERT_EQ(Vcopy(context, vector(V{1, -0.0, 3}, V{4, 5, 6}), &copy), nullptr);
  expect_matrix(copy, 3, 1, V{1, -0.0, 3}, kAbsent);
  ASSERT_EQ(Vcopy(context, vector(kAbsent, V{4, 5}), &copy), nullptr);
  expect_matrix(copy, 2, 1, V{0, 0}, kAbsent);
}

TEST_F(Products, VscalprKeepsTheRunningSumInTheCallersDouble) {
  double result = 7.0;
  ASSERT_EQ(Vscalpr(vector(V{1e16, 1, -1e16}), vector(V{1, 1, 1}), result), nullptr);
  EXPECT_EQ(bits(result), bits((1e16 + 1.0) - 1e16));
  // The result is the caller's double from the start: here it is a's last entry, cleared to 0.0
  // and then read back as the running sum 1 + 2 = 3, so the sum is 3 + 3 * 1.
  aVector* a = vector(V{1, 2, 99});
  ASSERT_EQ(Vscalpr(a, vector(V{1, 1, 1}), a->real[2]), nullptr);
  EXPECT_EQ(a->real[2], 6.0);
}

TEST_F(Products, MtransTransposesTheRealPartInBlocksAndDropsTheImaginaryPart) {
  std::mt19937_64 generator(1);
  for (auto [rows, cols, ld] : {std::tuple{2, 3, 0}, {70, 45, 73}, {1, 33, 0}, {33, 1, 0}}) {
    V values = random_values(generator, static_cast<std::size_t>(rows) * cols);
    aMatrix* M = matrix(rows, cols, values, values, ld);
    aMatrix* R = nullptr;
    ASSERT_EQ(Mtrans(context, M, &R), nullptr);
    V expected;
    for (int j = 0; j < rows; ++j)
      for (int i = 0; i < cols; ++i) expected.push_back(values[static_cast<std::size_t>(i) * rows + j]);
    expect_matrix(R, cols, rows, expected, kAbsent);
    expect_compact(R);
  }
  aMatrix* R = kUntouched;
  ASSERT_EQ(Mtrans(context, matrix(2, 3, kAbsent), &R), nullptr);
  expect_matrix(R, 3, 2, V(6, 0.0), kAbsent);
}

TEST_F(Products, MvectorCombinesByItsFactorsAndReadsNoBWhenBetaIsZero) {
  V a = {1, 2, 3, 4}, b = {10, 20, 30, 40};
  aMatrix* A = matrix(2, 2, a, kAbsent, 5);
  aMatrix* B = matrix(2, 2, b);
  // B with an infinity and another shape: only beta 0 may skip it.
  aMatrix* wide = matrix(1, 3, V{kInf, kInf, kInf});
  struct Case {
    double alpha, beta;
    aMatrix* B;
    V expected;
  };
  Case const cases[] = {
      {2, 0, wide, {2, 4, 6, 8}},
      {-0.5, -0.0, wide, {-0.5, -1, -1.5, -2}},
      {1, 1, B, {11, 22, 33, 44}},
      {1, -1, B, {-9, -18, -27, -36}},
      {2, 3, B, {32, 64, 96, 128}},
  };
  for (Case const& c : cases) {
    aMatrix* R = nullptr;
    ASSERT_EQ(Mvector(context, c.alpha, A, c.beta, c.B, &R), nullptr) << c.alpha << ", " << c.beta;
    expect_matrix(R, 2, 2, c.expected, kAbsent);
    expect_compact(R);
  }
}

TEST_F(Products, MtoVcolCopiesOneColumn) {
  aMatrix* M = matrix(2, 3, V{1, 2, 3, 4, 5, 6}, kAbsent, 4);
  aVector* v = vector(V{9, 9, 9}, V{7, 7, 7});
  ASSERT_EQ(MtoVcol(M, 2, v), nullptr);
  expect_matrix(v, 3, 1, V{5, 6, 9}, V{0, 0, 7});
  // A destination without real part gets one through the write rule.
  aVector* absent = vector(kAbsent, kAbsent, 2);
  ASSERT_EQ(MtoVcol(M, 1, absent), nullptr);
  expect_matrix(absent, 2, 1, V{3, 4}, kAbsent);
  // ... unless every value copied is zero.
  aVector* still_absent = vector(kAbsent, kAbsent, 2);
  ASSERT_EQ(MtoVcol(matrix(2, 1, kAbsent), 0, still_absent), nullptr);
  EXPECT_EQ(still_absent->real, nullptr);
}

TEST_F(Products, Vnorm2AndZeroCol) {
  EXPECT_EQ(Vnorm2(vector(V{3, 4})), 5.0);
  EXPECT_EQ(bits(Vnorm2(vector(kAbsent, kAbsent, 0))), 0u);
  EXPECT_EQ(bits(Vnorm2(vector(kAbsent, V{3, 4}))), 0u) << "the imaginary part is not read";
  EXPECT_EQ(Vnorm2(vector(V{1e200, 1e200})), kInf) << "no scaling";

  aMatrix* M = matrix(3, 2, V{1, 2, 3, 4, 5, 6}, V{1, 1, 1, 1, 1, 1}, 4);
  zero_col(1, 1, M);
  expect_matrix(M, 3, 2, V{1, 2, 3, 4, 0, 0}, V(6, 1.0));
  zero_col(0, 3, M);
  expect_matrix(M, 3, 2, V{1, 2, 3, 4, 0, 0}, V(6, 1.0));
  aMatrix* absent = matrix(3, 2, kAbsent, V(6, 1.0));
  zero_col(0, 0, absent);
  EXPECT_EQ(absent->real, nullptr);
}

// Every refusal: the operand tests in their order, each answering before anything is asked for,
// and the out-of-memory texts; and what the caller's pointer holds afterwards.
TEST_F(Products, RefusalsComeInTheirOrderAndLeaveTheCallersPointerAsItWas) {
  aMatrix* square = matrix(2, 2, V(4, 1.0));
  aMatrix* M = matrix(2, 3, V{1, 2, 3, 4, 5, 6}, kAbsent, 4);
  aMatrix* wide = matrix(1, 3, V(3, 1.0));
  aMatrix* no_rows = matrix(0, 2, V{});
  aMatrix* no_cells = empty(0, 2);
  aMatrix* imaginary = matrix(2, 2, kAbsent, V(4, 1.0));
  aMatrix* complex = matrix(3, 3, V(9, 1.0), V(9, 0.5));
  aVector* none = vector(kAbsent, kAbsent, 0);
  aVector* one = vector(V{1});
  aVector* two = vector(V{1, 2});
  aVector* three = vector(V{1, 2, 3});
  aVector* kept = vector(V{9, 9, 9}, V{7, 7, 7});
  auto vec = [](aMatrix** out) { return reinterpret_cast<aVector**>(out); };
  // Vscalpr has no out-parameter; it clears its result before testing anything.
  auto scalar = [](aVector* a, aVector* b) {
    double result = 7.0;
    char const* error = Vscalpr(a, b, result);
    return bits(result) == 0 ? error : "result not cleared";
  };
  struct Case {
    std::function<char const*(aMatrix**)> call;
    char const* error;
    bool clears = false;     // the pointer is null afterwards, else untouched
    bool exhausted = false;  // every allocation fails
  };
  Case const cases[] = {
      {[&](aMatrix** R) { return MVprod(context, no_cells, two, vec(R)); }, et::invalid_dimension},
      {[&](aMatrix** R) { return MVprod(context, square, none, vec(R)); }, et::invalid_dimension},
      {[&](aMatrix** R) { return MVprod(context, M, none, vec(R)); }, et::invalid_dimension},
      {[&](aMatrix** R) { return MVprod(context, M, two, vec(R)); }, et::array_size_mismatch},
      {[&](aMatrix** R) { return Vcopy(context, nullptr, vec(R)); }, et::unknown_error},
      {[&](aMatrix**) { return scalar(none, none); }, et::invalid_dimension},
      {[&](aMatrix**) { return scalar(one, none); }, et::invalid_dimension},
      {[&](aMatrix**) { return scalar(two, three); }, et::array_size_mismatch},
      {[&](aMatrix** R) { return Mtrans(context, no_cells, R); }, et::invalid_dimension},
      {[&](aMatrix** R) { return Mvector(context, 1, no_cells, 1, square, R); }, et::invalid_dimension},
      {[&](aMatrix** R) { return Mvector(context, 1, square, 0, no_cells, R); }, et::invalid_dimension},
      {[&](aMatrix** R) { return Mvector(context, 1, square, 1, wide, R); }, et::array_size_mismatch},
      {[&](aMatrix** R) { return Mvector(context, 1, square, 1, M, R); }, et::array_size_mismatch},
      {[&](aMatrix**) { return MtoVcol(nullptr, 0, kept); }, et::unknown_error},
      {[&](aMatrix**) { return MtoVcol(M, 0, nullptr); }, et::unknown_error},
      {[&](aMatrix**) { return MtoVcol(no_cells, 0, kept); }, et::invalid_dimension},
      {[&](aMatrix**) { return MtoVcol(M, 3, kept); }, et::index_out_of_bounds},
      {[&](aMatrix**) { return MtoVcol(M, -1, kept); }, et::index_out_of_bounds},
      // No matrix, or no real part, is a success with nothing made.
      {[&](aMatrix** R) { return lower_matrix_2_vector(context, nullptr, vec(R)); }, nullptr, true},
      {[&](aMatrix** R) { return lower_matrix_2_vector(context, imaginary, vec(R)); }, nullptr, true},
      {[&](aMatrix** R) { return lower_matrix_2_vector(context, no_cells, vec(R)); }, nullptr, true},
      {[&](aMatrix** R) { return lower_matrix_2_vector(context, no_rows, vec(R)); }, et::invalid_dimension, true},
      {[&](aMatrix** R) { return lower_matrix_2_vector(context, M, vec(R)); }, et::must_be_square, true},
      // tests/faults sweeps every exhaustion for its text and for what is left; here, the pointer.
      {[&](aMatrix** R) { return MMprod(context, complex, complex, R); }, et::out_of_memory, false, true},
      {[&](aMatrix** R) { return MVprod(context, complex, three, vec(R)); }, et::out_of_memory, false, true},
      {[&](aMatrix** R) { return Vcopy(context, three, vec(R)); }, et::out_of_memory, false, true},
      {[&](aMatrix** R) { return Mtrans(context, complex, R); }, et::out_of_memory, false, true},
      {[&](aMatrix** R) { return Mvector(context, 1, complex, 1, complex, R); }, et::out_of_memory, false, true},
      {[&](aMatrix** R) { return matrix_copy(context, complex, R); }, et::out_of_memory, false, true},
      {[&](aMatrix** R) { return matrix_copy_add_imag(context, complex, R); }, et::out_of_memory, false, true},
      {[&](aMatrix** R) { return vector_2_lower_matrix(context, three, R); }, et::out_of_memory, false, true},
      {[&](aMatrix** R) { return lower_matrix_2_vector(context, complex, vec(R)); }, et::out_of_memory, true, true},
  };
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    Case const& c = cases[k];
    SCOPED_TRACE(testing::Message() << "row " << k);
    std::size_t const records = host.calls(30);
    aMatrix* R = kUntouched;
    c.exhausted ? faults::arm(1, Mode::Persistent) : faults::count_only();
    char const* error = c.call(&R);
    std::size_t const allocations = faults::allocations_since_arm();
    faults::disarm();
    EXPECT_STREQ(error, c.error);
    EXPECT_EQ(allocations, c.exhausted ? 1u : 0u);
    EXPECT_EQ(R, c.clears ? nullptr : kUntouched);
    EXPECT_EQ(host.calls(30), records) << "no record made";
  }
  expect_matrix(kept, 3, 1, V{9, 9, 9}, V{7, 7, 7});
}

TEST_F(Products, FailuresTheOperationsCanDoWithout) {
  // MMprod's packing block comes after its result arrays; without it the product is still exact.
  std::mt19937_64 generator(9);
  aMatrix* A = matrix(40, 30, random_values(generator, 1200), V(1200, 1.0), 41);
  aMatrix* B = matrix(30, 20, random_values(generator, 600));
  for (Mode mode : {Mode::Once, Mode::Persistent}) {
    aMatrix* R = nullptr;
    {
      ScopedFailure failure(3, mode);
      ASSERT_EQ(MMprod(context, A, B, &R), nullptr);
      EXPECT_GE(faults::failures_since_arm(), 1u) << "the packing block was asked for";
    }
    expect_matrix(R, 40, 20, naive_product(A, B), V(800, 0.0));
  }
  // MtoVcol creates an absent destination part through the write rule; when that fails the
  // values are dropped and the part stays absent.
  aVector* absent = vector(kAbsent, kAbsent, 3);
  {
    ScopedFailure failure(1, Mode::Persistent);
    EXPECT_EQ(MtoVcol(A, 0, absent), nullptr);
  }
  EXPECT_EQ(absent->real, nullptr);
}

}  // namespace
}  // namespace vellum::test
