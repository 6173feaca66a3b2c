// Products and transforms through the host's records: shapes, error order, out-parameters,
// absent arrays, and every out-of-memory path.
#include <cmath>
#include <limits>
#include <random>

#include "tests/numerics/matrices.h"

namespace {

namespace et = vellum::error_text;
using vellum::faults::Mode;
using vellum::faults::ScopedFailure;
using vellum::test::bits;
using vellum::test::cells;
using vellum::test::expect_compact;
using vellum::test::expect_matrix;
using vellum::test::HostTest;
using vellum::test::kAbsent;
using vellum::test::Values;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kAllocMatrix = 30;

class Products : public HostTest {
 protected:
  aMatrix* matrix(int rows, int cols, Values real, Values imag = kAbsent, int ld = 0) {
    return vellum::test::matrix(allocator, rows, cols, std::move(real), std::move(imag), ld);
  }
  aVector* vector(Values real, Values imag = kAbsent, int length = -1) {
    int rows = length >= 0 ? length : static_cast<int>(real ? real->size() : imag->size());
    return vellum::view_as<aVector>(matrix(rows, 1, std::move(real), std::move(imag)));
  }
  // A record with no cells in one dimension, as the host may hand over.
  aMatrix* empty(int rows, int cols) { return aMatrix::mk(allocator, rows, cols, nullptr, nullptr, 0); }
  aMatrix* const kUntouched = reinterpret_cast<aMatrix*>(std::uintptr_t{0x5A5A5A50});
};

std::vector<double> random_values(std::mt19937_64& generator, std::size_t count) {
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::vector<double> values(count);
  for (double& x : values) x = unit(generator) * (generator() % 8 == 0 ? 1e30 : 1.0);
  return values;
}

// The plain loop over two records' real parts.
std::vector<double> naive_product(aMatrix const* A, aMatrix const* B) {
  std::vector<double> r(static_cast<std::size_t>(A->rows) * B->cols);
  for (int i = 0; i < A->rows; ++i)
    for (int j = 0; j < B->cols; ++j) {
      double s = 0.0;
      for (int p = 0; p < A->cols; ++p) s = s + *vellum::elem_ptr(A->real, A->ld, i, p) * *vellum::elem_ptr(B->real, B->ld, p, j);
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
    Values zeros = complex ? Values(std::vector<double>(static_cast<std::size_t>(c.n) * c.m, 0.0)) : kAbsent;
    expect_matrix(R, c.n, c.m, naive_product(A, B), zeros);
    expect_compact(R);
  }
}

TEST_F(Products, MMprodOfAbsentPartsStillMultipliesZerosByInfinity) {
  aMatrix* A = matrix(2, 2, kAbsent);
  aMatrix* B = matrix(2, 2, std::vector<double>{1, kInf, -3, 4});
  aMatrix* R = nullptr;
  ASSERT_EQ(MMprod(context, A, B, &R), nullptr);
  ASSERT_NE(R->real, nullptr);
  EXPECT_TRUE(std::isnan(R->real[0]) && std::isnan(R->real[1])) << "0 * inf in column 0";
  EXPECT_EQ(bits(R->real[2]), 0u) << "+0.0 even where the products are -0.0";
  EXPECT_EQ(bits(R->real[3]), 0u);
}

TEST_F(Products, MMprodStoresTheUnfilledResultBeforeReportingAMismatch) {
  aMatrix* A = matrix(2, 3, std::vector<double>(6, 1.0));
  aMatrix* B = matrix(2, 3, std::vector<double>(6, 1.0), std::vector<double>(6, 0.5));
  aMatrix* R = kUntouched;
  EXPECT_STREQ(MMprod(context, A, B, &R), et::array_size_mismatch);
  ASSERT_NE(R, kUntouched);
  EXPECT_TRUE(host.is_record(R));
  EXPECT_EQ(R->rows, 2);
  EXPECT_EQ(R->cols, 3);
  EXPECT_NE(R->real, nullptr);
  EXPECT_NE(R->imag, nullptr) << "B is complex";
}

TEST_F(Products, MMprodOfAMatrixWithoutRowsIsAnEmptySuccess) {
  aMatrix* R = nullptr;
  ASSERT_EQ(MMprod(context, empty(0, 3), matrix(3, 2, std::vector<double>(6, 1.0)), &R), nullptr);
  EXPECT_EQ(R->rows, 0);
  EXPECT_EQ(R->cols, 2);
}

TEST_F(Products, MMprodOutOfMemoryReleasesWhatItHadAndAFailedScratchBlockOnlySlowsItDown) {
  std::mt19937_64 generator(9);
  aMatrix* A = matrix(40, 30, random_values(generator, 1200), std::vector<double>(1200, 1.0), 41);
  aMatrix* B = matrix(30, 20, random_values(generator, 600));
  std::vector<double> expected = naive_product(A, B);
  std::size_t const calls_before = host.calls(kAllocMatrix);
  // The real array, then the imaginary array (A is complex): either failing is "out of memory"
  // with nothing built and nothing left.
  for (std::size_t nth : {1, 2}) {
    ScopedFailure failure(nth);
    aMatrix* R = kUntouched;
    EXPECT_STREQ(MMprod(context, A, B, &R), et::out_of_memory) << "allocation " << nth;
    EXPECT_EQ(R, kUntouched);
  }
  EXPECT_EQ(host.calls(kAllocMatrix), calls_before);
  // The engine's own scratch block comes next; without it the product is still exact.
  for (Mode mode : {Mode::Once, Mode::Persistent}) {
    aMatrix* R = nullptr;
    {
      ScopedFailure failure(3, mode);
      ASSERT_EQ(MMprod(context, A, B, &R), nullptr);
      EXPECT_GE(vellum::faults::failures_since_arm(), 1u) << "the scratch block was asked for";
    }
    expect_matrix(R, 40, 20, expected, std::vector<double>(800, 0.0));
    host.release(R);
  }
  host.release(A);
  host.release(B);
  expect_nothing_left();
}

TEST_F(Products, MVprodTestsItsOperandsInOrderAndSumsInAscendingColumns) {
  struct Case {
    aMatrix* M;
    aVector* v;
    char const* error;
  };
  Case const errors[] = {
      {empty(0, 2), vector(std::vector<double>{1, 2}), et::invalid_dimension},
      {matrix(2, 2, std::vector<double>(4, 1.0)), vector(kAbsent, kAbsent, 0), et::invalid_dimension},
      {matrix(2, 3, std::vector<double>(6, 1.0)), vector(kAbsent, kAbsent, 0), et::invalid_dimension},
      {matrix(2, 3, std::vector<double>(6, 1.0)), vector(std::vector<double>{1, 2}), et::array_size_mismatch},
  };
  for (Case const& c : errors) {
    aVector* w = vellum::view_as<aVector>(kUntouched);
    EXPECT_STREQ(MVprod(context, c.M, c.v, &w), c.error);
    EXPECT_EQ(w, kUntouched);
  }
  // Column 1 of M has padding below its rows; 1e16 + 1 - 1e16 shows the order of the sums.
  aMatrix* M = matrix(2, 3, std::vector<double>{1e16, 2, 1, 3, -1e16, 4}, std::vector<double>(6, 9.0), 3);
  aVector* w = nullptr;
  ASSERT_EQ(MVprod(context, M, vector(std::vector<double>{1, 1, 1}), &w), nullptr);
  expect_matrix(w, 2, 1, std::vector<double>{(1e16 + 1.0) - 1e16, 2.0 + 3 + 4}, kAbsent);
  expect_compact(w);
  // An absent real part multiplies zeros: +0.0, and not-a-number against an infinity.
  ASSERT_EQ(MVprod(context, matrix(2, 2, kAbsent), vector(std::vector<double>{-1, kInf}), &w), nullptr);
  EXPECT_TRUE(std::isnan(w->real[0]) && std::isnan(w->real[1]));
  ASSERT_EQ(MVprod(context, matrix(2, 2, kAbsent), vector(std::vector<double>{-1, 2}), &w), nullptr);
  expect_matrix(w, 2, 1, std::vector<double>{0.0, 0.0}, kAbsent);
}

TEST_F(Products, VcopyCopiesTheRealEntriesOnly) {
  aVector* copy = nullptr;
  EXPECT_STREQ(Vcopy(context, nullptr, &copy), et::unknown_error);
  ASSERT_EQ(Vcopy(context, vector(std::vector<double>{1, -0.0, 3}, std::vector<double>{4, 5, 6}), &copy), nullptr);
  expect_matrix(copy, 3, 1, std::vector<double>{1, -0.0, 3}, kAbsent);
  ASSERT_EQ(Vcopy(context, vector(kAbsent, std::vector<double>{4, 5}), &copy), nullptr);
  expect_matrix(copy, 2, 1, std::vector<double>{0, 0}, kAbsent);
}

TEST_F(Products, VscalprClearsTheResultFirstAndKeepsTheRunningSumInIt) {
  struct Case {
    aVector* a;
    aVector* b;
    char const* error;
  };
  Case const errors[] = {
      {vector(kAbsent, kAbsent, 0), vector(kAbsent, kAbsent, 0), et::invalid_dimension},
      {vector(std::vector<double>{1}), vector(kAbsent, kAbsent, 0), et::invalid_dimension},
      {vector(std::vector<double>{1, 2}), vector(std::vector<double>{1, 2, 3}), et::array_size_mismatch},
  };
  for (Case const& c : errors) {
    double result = 7.0;
    EXPECT_STREQ(Vscalpr(c.a, c.b, result), c.error);
    EXPECT_EQ(bits(result), 0u);
  }
  double result = 7.0;
  ASSERT_EQ(Vscalpr(vector(std::vector<double>{1e16, 1, -1e16}), vector(std::vector<double>{1, 1, 1}), result), nullptr);
  EXPECT_EQ(bits(result), bits((1e16 + 1.0) - 1e16));
  // The result is the caller's double from the start: here it is a's last entry, cleared to 0.0
  // and then read back as the running sum 1 + 2 = 3, so the sum is 3 + 3 * 1.
  aVector* a = vector(std::vector<double>{1, 2, 99});
  ASSERT_EQ(Vscalpr(a, vector(std::vector<double>{1, 1, 1}), a->real[2]), nullptr);
  EXPECT_EQ(a->real[2], 6.0);
}

TEST_F(Products, MtransTransposesTheRealPartInBlocksAndDropsTheImaginaryPart) {
  std::mt19937_64 generator(1);
  for (auto [rows, cols, ld] : {std::tuple{2, 3, 0}, {70, 45, 73}, {1, 33, 0}, {33, 1, 0}}) {
    std::vector<double> values = random_values(generator, static_cast<std::size_t>(rows) * cols);
    aMatrix* M = matrix(rows, cols, values, values, ld);
    aMatrix* R = nullptr;
    ASSERT_EQ(Mtrans(context, M, &R), nullptr);
    std::vector<double> expected;
    for (int j = 0; j < rows; ++j)
      for (int i = 0; i < cols; ++i) expected.push_back(values[static_cast<std::size_t>(i) * rows + j]);
    expect_matrix(R, cols, rows, expected, kAbsent);
    expect_compact(R);
  }
  aMatrix* R = kUntouched;
  ASSERT_EQ(Mtrans(context, matrix(2, 3, kAbsent), &R), nullptr);
  expect_matrix(R, 3, 2, std::vector<double>(6, 0.0), kAbsent);
  R = kUntouched;
  EXPECT_STREQ(Mtrans(context, empty(0, 2), &R), et::invalid_dimension);
  EXPECT_EQ(R, kUntouched);
}

TEST_F(Products, MvectorCombinesByItsFactorsAndReadsNoBWhenBetaIsZero) {
  std::vector<double> a = {1, 2, 3, 4}, b = {10, 20, 30, 40};
  aMatrix* A = matrix(2, 2, a, kAbsent, 5);
  aMatrix* B = matrix(2, 2, b);
  // B with an infinity and another shape: only beta 0 may skip it.
  aMatrix* wide = matrix(1, 3, std::vector<double>{kInf, kInf, kInf});
  struct Case {
    double alpha, beta;
    aMatrix* B;
    std::vector<double> expected;
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
  struct ErrorCase {
    aMatrix* A;
    double beta;
    aMatrix* B;
    char const* error;
  };
  ErrorCase const errors[] = {
      {empty(0, 2), 1, B, et::invalid_dimension},
      {A, 0, empty(0, 1), et::invalid_dimension},
      {A, 1, wide, et::array_size_mismatch},
      {A, 1, matrix(2, 1, std::vector<double>{1, 2}), et::array_size_mismatch},
  };
  for (ErrorCase const& c : errors) {
    aMatrix* R = kUntouched;
    EXPECT_STREQ(Mvector(context, 1, c.A, c.beta, c.B, &R), c.error);
    EXPECT_EQ(R, kUntouched);
  }
}

TEST_F(Products, MtoVcolChecksItsArgumentsThenCopiesOneColumn) {
  aMatrix* M = matrix(2, 3, std::vector<double>{1, 2, 3, 4, 5, 6}, kAbsent, 4);
  aVector* v = vector(std::vector<double>{9, 9, 9}, std::vector<double>{7, 7, 7});
  struct Case {
    aMatrix* M;
    int col;
    aVector* v;
    char const* error;
  };
  Case const errors[] = {
      {nullptr, 0, v, et::unknown_error},        {M, 0, nullptr, et::unknown_error},
      {empty(0, 2), 0, v, et::invalid_dimension}, {M, 3, v, et::index_out_of_bounds},
      {M, -1, v, et::index_out_of_bounds},
  };
  for (Case const& c : errors) EXPECT_STREQ(MtoVcol(c.M, c.col, c.v), c.error);
  expect_matrix(v, 3, 1, std::vector<double>{9, 9, 9}, std::vector<double>{7, 7, 7});

  ASSERT_EQ(MtoVcol(M, 2, v), nullptr);
  expect_matrix(v, 3, 1, std::vector<double>{5, 6, 9}, std::vector<double>{0, 0, 7});
  // A destination without real part gets one through the write rule.
  aVector* absent = vector(kAbsent, kAbsent, 2);
  ASSERT_EQ(MtoVcol(M, 1, absent), nullptr);
  expect_matrix(absent, 2, 1, std::vector<double>{3, 4}, kAbsent);
  // ... unless every value copied is zero.
  aVector* still_absent = vector(kAbsent, kAbsent, 2);
  ASSERT_EQ(MtoVcol(matrix(2, 1, kAbsent), 0, still_absent), nullptr);
  EXPECT_EQ(still_absent->real, nullptr);
}

TEST_F(Products, Vnorm2AndZeroCol) {
  EXPECT_EQ(Vnorm2(vector(std::vector<double>{3, 4})), 5.0);
  EXPECT_EQ(bits(Vnorm2(vector(kAbsent, kAbsent, 0))), 0u);
  EXPECT_EQ(bits(Vnorm2(vector(kAbsent, std::vector<double>{3, 4}))), 0u) << "the imaginary part is not read";
  EXPECT_EQ(Vnorm2(vector(std::vector<double>{1e200, 1e200})), kInf) << "no scaling";

  aMatrix* M = matrix(3, 2, std::vector<double>{1, 2, 3, 4, 5, 6}, std::vector<double>{1, 1, 1, 1, 1, 1}, 4);
  zero_col(1, 1, M);
  expect_matrix(M, 3, 2, std::vector<double>{1, 2, 3, 4, 0, 0}, std::vector<double>(6, 1.0));
  zero_col(0, 3, M);
  expect_matrix(M, 3, 2, std::vector<double>{1, 2, 3, 4, 0, 0}, std::vector<double>(6, 1.0));
  aMatrix* absent = matrix(3, 2, kAbsent, std::vector<double>(6, 1.0));
  zero_col(0, 0, absent);
  EXPECT_EQ(absent->real, nullptr);
}

TEST_F(Products, ResultArraysThatCannotBeHadAreReportedAndNothingIsLeft) {
  aMatrix* M = matrix(3, 3, std::vector<double>(9, 1.0));
  aVector* v = vector(std::vector<double>{1, 2, 3});
  std::size_t const calls_before = host.calls(kAllocMatrix);
  {
    ScopedFailure failure(1, Mode::Persistent);
    aVector* w = vellum::view_as<aVector>(kUntouched);
    aMatrix* R = kUntouched;
    EXPECT_STREQ(MVprod(context, M, v, &w), et::out_of_memory);
    EXPECT_STREQ(Vcopy(context, v, &w), et::out_of_memory);
    EXPECT_STREQ(Mtrans(context, M, &R), et::out_of_memory);
    EXPECT_STREQ(Mvector(context, 1, M, 1, M, &R), et::out_of_memory);
    EXPECT_STREQ(MMprod(context, M, M, &R), et::out_of_memory);
    EXPECT_EQ(w, vellum::view_as<aVector>(kUntouched));
    EXPECT_EQ(R, kUntouched);
  }
  EXPECT_EQ(host.calls(kAllocMatrix), calls_before);
  // MtoVcol creates an absent destination part through the write rule; when that fails the
  // values are dropped and the part stays absent.
  aVector* absent = vector(kAbsent, kAbsent, 3);
  {
    ScopedFailure failure(1, Mode::Persistent);
    EXPECT_EQ(MtoVcol(M, 0, absent), nullptr);
  }
  EXPECT_EQ(absent->real, nullptr);
  host.release(M);
  host.release(v);
  host.release(absent);
  expect_nothing_left();
}

}  // namespace
