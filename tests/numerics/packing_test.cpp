// Joins, triangles and the questions asked of a matrix, through the host's records, against the
// test's own reading of the cells.
#include <functional>
#include <limits>
#include <string_view>

#include "tests/numerics/matrices.h"

namespace vellum::test {
namespace {

using Packing = NumericsTest;

TEST_F(Packing, JoinsPlaceTheirOperandsEvenWhenTheirArraysCannotBeHad) {
  // B is taller than A, and wider below it: what lies outside A's rows and columns is ignored.
  aMatrix *A = random_matrix(2, 2, 1, true, true), *B = random_matrix(3, 3), *C = random_matrix(2, 1, 0, false, true);
  A->real[0] = A->imag[0] = 1.0;  // where a result array that could not be had is created
  V const re = table(2, 6, [&](int i, int j) { return j < 2 ? at(A, i, j) : j < 5 ? at(B, i, j - 2) : at(C, i, 0); });
  V const im = table(2, 6, [&](int i, int j) { return j < 2 ? at(A, i, j, kImag) : j < 5 ? 0.0 : at(C, i, 0, kImag); });
  std::tuple<std::function<bool(aMatrix**)>, int, int, V, Values> const joins[] = {  // join, shape, parts
      {[&](aMatrix** R) { return pack_two_r(context, A, B, R); }, 2, 5, V(re.begin(), re.end() - 2), kAbsent},
      {[&](aMatrix** R) { return pack_three_r(context, A, B, C, R); }, 2, 6, re, kAbsent},
      {[&](aMatrix** R) { return pack_three_c(context, A, B, C, R); }, 2, 6, re, im},
      {[&](aMatrix** R) { return pack_two_rr(context, A, B, R); }, 5, 2,
       table(5, 2, [&](int i, int j) { return i < 2 ? at(A, i, j) : at(B, i - 2, j); }), kAbsent},
  };
  // No failure; the first or the second array refused, which the first non-zero element then
  // creates; every allocation refused, which leaves the result without arrays.
  for (auto const& [join, rows, cols, real, imag] : joins)
    for (std::size_t nth : {0, 1, 2, 3}) {
      aMatrix* R = nullptr;
      faults::arm(nth == 3 ? 1 : nth, nth == 3 ? faults::Mode::Persistent : faults::Mode::Once);
      EXPECT_TRUE(join(&R));
      faults::disarm();
      if (nth < 3) expect_matrix(R, rows, cols, real, imag);
      EXPECT_TRUE(nth < 3 || (!R->real && !R->imag));
    }
}

TEST_F(Packing, LowerTrianglesPackColumnByColumnAndUnpackFromTheLargestTriangleALengthHolds) {
  for (int n = 1; n <= 12; ++n) {
    aMatrix* M = random_matrix(n, n, n % 2 ? 0 : 2, true, n == 2);  // odd n: the last column ends at the fence
    aMatrix* v = random_matrix(n - 1, 1, 0, n != 7);                 // a length of n - 1
    V packed, unpacked;
    int order = 0, k = 0;
    for (int e = 0; e < n * n; ++e)
      if (e % n >= e / n) packed.push_back(at(M, e % n, e / n));
    while ((order + 1) * (order + 2) / 2 <= n - 1) ++order;
    for (int e = 0; e < order * order; ++e) unpacked.push_back(e % order >= e / order ? at(v, k++, 0) : 0.0);
    aMatrix* R = nullptr;
    ASSERT_EQ(lower_matrix_2_vector(context, M, reinterpret_cast<aVector**>(&R)), nullptr);
    expect_matrix(R, n * (n + 1) / 2, 1, packed, kAbsent);
    ASSERT_EQ(vector_2_lower_matrix(context, view_as<aVector>(v), &R), nullptr);
    expect_matrix(R, order, std::max(order, 1), unpacked, kAbsent);  // no columns are stored as one
  }
}

// Each question's answer from the kinds of the cells a scan covers.
bool answer(std::string_view question, int numbers, int nested, int strings) {
  if (question == "Ptrs" || question == "Strings") return numbers + (question == "Ptrs" ? strings : nested) == 0;
  return (question == "String" ? 0 : nested) + strings > 0 && (question != "Mixed" || numbers > 0);
}
bool call(bool (*predicate)(aMatrix*), aMatrix* M, int) { return predicate(M); }
bool call(bool (*predicate)(aMatrix*, int), aMatrix* M, int k) { return predicate(M, k); }
#define VELLUM_PREDICATE(name, scan, question) \
  {#name, #scan, #question, [](aMatrix* M, int k) { return call(name, M, k); }},
struct Predicate {
  std::string_view name, scan, question;
  bool (*call)(aMatrix*, int);
} const kPredicates[] = {VELLUM_CELL_PREDICATES(VELLUM_PREDICATE)};

// Random matrices of numbers (a NaN whose upper word is not all ones among them), nested values
// and strings, mostly of one kind, some mirrored into Hermitian (form 1) or symmetric (2) squares.
TEST_F(Packing, CellKindsAndMirroredPairsAreAnsweredFromTheCells) {
  double const string = make_nested_cell(aString::mk(allocator, "x"));
  double const values[] = {0.0, -0.0, 1.0, std::numeric_limits<double>::quiet_NaN(),
                           make_nested_cell(matrix(1, 1, V{1})), string};
  for (int s = 0; s < 600; ++s) {
    int const rows = 1 + generator() % 3, cols = 1 + generator() % 3, n = std::min(rows, cols);
    auto const form = generator() % 3, common = generator() % 6;
    V re(static_cast<std::size_t>(rows * cols)), im(re.size());
    for (std::size_t e = 0; e < re.size(); ++e) re[e] = values[generator() % 3 ? common : generator() % 6];
    for (double& x : im) x = values[generator() % 3] * (generator() % 2 ? 1 : -1);
    for (int i = 0; form && i < n; ++i)
      for (int j = 0; j <= i; ++j) {
        re[j * rows + i] = re[i * rows + j];
        im[j * rows + i] = i == j && form == 1 ? 0.0 : (form == 1 ? -1 : 1) * im[i * rows + j];
      }
    if (generator() % 2) (generator() % 2 ? re : im)[generator() % re.size()] = values[generator() % 3];
    // Without a real part, nothing decides.
    aMatrix* M = fenced(matrix(rows, cols, s % 9 ? Values(re) : kAbsent, s % 4 ? Values(im) : kAbsent, rows + s % 2));
    for (Predicate const& p : kPredicates)
      for (int k = 0; k < (p.scan == "Whole" ? 1 : p.scan == "Row" ? rows : cols); ++k) {
        int count[3] = {};  // numbers, nested values that are no strings, strings
        for (int e = 0; e < rows * cols; ++e)
          if (M->real && (p.scan == "Whole" || (p.scan == "Row" ? e % rows : e / rows) == k))
            ++count[bits(re[e]) == bits(string) ? 2 : is_nested_cell(re[e])];
        EXPECT_EQ(p.call(M, k), answer(p.question, count[0], count[1], count[2])) << p.name << " " << k;
      }
    bool hermitian = rows >= cols, symmetric = rows == cols, result = !hermitian;
    for (int e = 0; e < n * n; ++e) {
      int const i = e % n, j = e / n;
      hermitian = hermitian && at(M, i, j) == at(M, j, i) && at(M, i, j, kImag) == -at(M, j, i, kImag);
      symmetric = symmetric && (i == j || (at(M, i, j) == at(M, j, i) && at(M, i, j, kImag) == at(M, j, i, kImag)));
    }
    EXPECT_EQ(hermtest(M, result), nullptr);
    EXPECT_TRUE(result == hermitian && symmetry(M) == symmetric) << rows << " x " << cols << " form " << form;
  }
}

}  // namespace
}  // namespace vellum::test
