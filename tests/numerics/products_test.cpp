// Products, transforms and copies through the host's records, each against a plain loop over the
// test's own reading of the operands' cells, on shapes of one row or column beside larger ones.
#include <algorithm>
#include <functional>
#include <numeric>
#include <limits>

#include "tests/numerics/matrices.h"

namespace vellum::test {
namespace {

using Products = NumericsTest;
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST_F(Products, EveryCellIsThePlainLoopOverTheCellsOfTheOperands) {
  std::pair<double, double> const factors[] = {{2, 0}, {-0.5, -0.0}, {1, 1}, {1, -1}, {1, 3}, {2, -1}};
  auto size = [&] { return 1 + static_cast<int>(generator() % (generator() % 3 ? 3 : 70)); };  // mostly 1 to 3
  for (int s = 0; s < 24; ++s) {
    int const n = size(), k = size(), m = size(), col = s % 2 ? k - 1 : 0, first = s % 2 ? n - 1 : 0;
    aMatrix* A = random_matrix(n, k, s % 2, s % 5 != 1, s % 6 == 0);
    aMatrix* B = random_matrix(k, m, s % 3, s % 7 != 2, s % 6 == 3);
    if (!A->real && B->real) B->real[0] = kInf;  // against an absent A: not a number
    auto product = [&](int i, int j) {
      double sum = 0.0;
      for (int p = 0; p < k; ++p) sum = sum + at(A, i, p) * at(B, p, j);
      return sum;
    };
    aMatrix* R = kUntouched;
    ASSERT_EQ(MMprod(context, A, B, &R), nullptr);
    expect_matrix(R, n, m, table(n, m, product), A->imag || B->imag ? Values(V(n * m, 0.0)) : kAbsent);
    V const column = table(k, 1, [&](int i, int) { return at(B, i, 0); });  // as a vector
    aVector* v = view_as<aVector>(fenced(matrix(k, 1, B->real ? Values(column) : kAbsent, V(k, 1.0))));
    ASSERT_EQ(MVprod(context, A, v, reinterpret_cast<aVector**>(&R)), nullptr);
    expect_matrix(R, n, 1, table(n, 1, product), kAbsent);
    ASSERT_EQ(Vcopy(context, v, reinterpret_cast<aVector**>(&R)), nullptr);
    expect_matrix(R, k, 1, column, kAbsent);
    double squares = 0.0, result = 7.0;
    for (double x : column) squares = squares + x * x;
    ASSERT_EQ(Vscalpr(v, v, result), nullptr);
    EXPECT_TRUE(bits(result) == bits(squares) && bits(Vnorm2(v)) == bits(std::sqrt(squares)));
    ASSERT_EQ(Mtrans(context, A, &R), nullptr);
    expect_matrix(R, k, n, table(k, n, [&](int i, int j) { return at(A, j, i); }), kAbsent);
    auto const [alpha, beta] = factors[s % 6];  // over a C of A's shape, or of any shape when beta is 0
    aMatrix* C = beta == 0.0 ? B : random_matrix(n, k, s % 2, true, true);
    ASSERT_EQ(Mvector(context, alpha, A, beta, C, &R), nullptr);
    expect_matrix(R, n, k, table(n, k, [&](int i, int j) {
      return beta == 0.0 ? alpha * at(A, i, j) : alpha * at(A, i, j) + beta * at(C, i, j);
    }), kAbsent);
    for (bool add_imag : {false, true}) {
      ASSERT_EQ((add_imag ? matrix_copy_add_imag : matrix_copy)(context, A, &R), nullptr);
      expect_matrix(R, n, k, cells(A, kReal, true), cells(A, kImag, add_imag));
    }
    // Column `col` or all of A into a larger D, clearing D's imaginary parts there (a D without a real
    // part gets one unless every value copied is 0); then zero_col, and columns scaled up to a zero one.
    int const cols = s % 3 == 2 ? k - col : 1;
    aMatrix* D = s % 4 ? random_matrix(n + 1, cols + 1, 1, true, s % 2) : matrix(n + 1, cols + 1, kAbsent);
    auto copied = [&](int i, int j) { return i < n && j < cols; };
    V re = table(n + 1, cols + 1, [&](int i, int j) { return copied(i, j) ? at(A, i, j + col) : at(D, i, j); });
    V im = table(n + 1, cols + 1, [&](int i, int j) { return copied(i, j) ? 0.0 : at(D, i, j, kImag); });
    bool const real = D->real || std::any_of(re.begin(), re.end(), [](double x) { return x != 0.0; });
    if (cols > 1)
      real_to_complex_m(view_as<aRealMatrix>(A), D);
    else if (col > 0 || s % 4 == 1)
      ASSERT_EQ(MtoVcol(A, col, view_as<aVector>(D)), nullptr);
    else
      real_to_complex_v(view_as<aRealVec>(A), view_as<aVector>(D));
    expect_matrix(D, n + 1, cols + 1, real ? Values(re) : kAbsent, D->imag ? Values(im) : kAbsent, false);
    re = table(n, k, [&](int i, int j) { return j == col && i >= first ? 0.0 : at(A, i, j); });
    im = *cells(A, kImag, true);
    zero_col(col, first, A);
    for (int c = 0, r = 0; c < k; ++c) {
      double const sum = std::inner_product(re.data() + c * n, re.data() + c * n + n, im.data() + c * n, 0.0,
                                            std::plus<>(), [](double x, double y) { return x * x + y * y; });
      if (std::sqrt(sum) == 0.0) break;
      for (r = c * n; r < (c + 1) * n; ++r) re[r] = re[r] / std::sqrt(sum), im[r] = im[r] / std::sqrt(sum);
    }
    renormalize_matrix_cols(A);
    expect_matrix(A, n, k, A->real ? Values(re) : kAbsent, A->imag ? Values(im) : kAbsent, false);
  }
}

// The operand tests in their order, and what the caller's pointer holds afterwards; the
// out-of-memory texts that the sweeps of tests/faults do not reach.
TEST_F(Products, RefusalsComeInTheirOrderAndLeaveTheCallersPointer) {
  aMatrix *square = matrix(2, 2, V(4, 1.0)), *complex = matrix(2, 2, V(4, 1.0), V(4, 0.5));
  aMatrix *M = matrix(2, 3, V{1, 2, 3, 4, 5, 6}, kAbsent, 4), *no_real = matrix(2, 2, kAbsent);
  aMatrix *no_rows = matrix(0, 2, V{}), *no_cols = matrix(2, 1, V(2, 1.0)), *negative = matrix(1, 3, V(3, 1.0));
  no_cols->cols = 0;    // records that the constructors would not make
  negative->rows = -1;  // a count that no allocation satisfies, even against 0 columns
  aVector *none = view_as<aVector>(matrix(0, 1, kAbsent)), *two = view_as<aVector>(matrix(2, 1, V{1, 2}));
  aVector* three = view_as<aVector>(matrix(3, 1, V{1, 2, 3}));
  auto vec = [](aMatrix** out) { return reinterpret_cast<aVector**>(out); };
  double result = 7.0;  // Vscalpr clears its result before it tests anything
  struct Case {
    char const* error;
    std::function<char const*(aMatrix**)> call;
    std::size_t fail = 0;  // the allocation that fails, and every later one
    bool clears = false;   // the pointer is null afterwards, else untouched
  } const cases[] = {
      {text::invalid_dimension, [&](aMatrix** R) { return MVprod(context, no_rows, two, vec(R)); }},
      {text::array_size_mismatch, [&](aMatrix** R) { return MVprod(context, M, two, vec(R)); }},
      {text::invalid_dimension, [&](aMatrix**) { return Vscalpr(none, two, result); }},
      {text::array_size_mismatch, [&](aMatrix**) { return Vscalpr(two, three, result); }},
      {text::invalid_dimension, [&](aMatrix** R) { return Mtrans(context, no_cols, R); }},
      {text::array_size_mismatch, [&](aMatrix** R) { return Mvector(context, 1, square, 1, M, R); }},
      {text::unknown_error, [&](aMatrix**) { return MtoVcol(nullptr, 0, three); }},
      {text::index_out_of_bounds, [&](aMatrix**) { return MtoVcol(M, 3, three); }},
      {nullptr, [&](aMatrix** R) { return lower_matrix_2_vector(context, no_real, vec(R)); }, 0, true},
      {text::invalid_dimension, [&](aMatrix** R) { return lower_matrix_2_vector(context, no_rows, vec(R)); }, 0, true},
      {text::must_be_square, [&](aMatrix** R) { return lower_matrix_2_vector(context, M, vec(R)); }, 0, true},
      {text::out_of_memory, [&](aMatrix** R) { return MMprod(context, negative, no_cols, R); }},
      {text::out_of_memory, [&](aMatrix** R) { return MMprod(context, complex, square, R); }, 2},
      {text::out_of_memory, [&](aMatrix** R) { return MMprod(context, square, complex, R); }, 2},
  };
  for (Case const& c : cases) {
    aMatrix* R = kUntouched;
    faults::arm(c.fail, faults::Mode::Persistent);
    EXPECT_STREQ(c.call(&R), c.error) << "row " << &c - cases;
    faults::disarm();
    EXPECT_EQ(R, c.clears ? nullptr : kUntouched) << "row " << &c - cases;
  }
  EXPECT_EQ(bits(result), 0u);
  // MMprod stores its result before it compares B's rows with A's columns.
  aMatrix* R = kUntouched;
  EXPECT_STREQ(MMprod(context, M, complex, &R), text::array_size_mismatch);
  EXPECT_TRUE(host.is_record(R) && R->rows == 2 && R->cols == 2 && R->real && R->imag);
}

}  // namespace
}  // namespace vellum::test
