#include <cmath>
#include <limits>
#include <new>

#include "tests/support/test_support.h"

namespace {

using vellum::test::bits;
using vellum::test::complex_record;
using vellum::test::HostTest;
using vellum::test::word_at;
using Host = vellum::host::HostAllocator;

class MatrixConstructors : public HostTest {};

TEST_F(MatrixConstructors, SizeColumnsAndLeadingDimensionFollowFromTheArguments) {
  struct Case {
    int rows, cols;
    int given_ld;  // 0: the form without a leading dimension
    unsigned size;
    unsigned stored_size;
    int stored_cols, ld;
  };
  Case const cases[] = {
      {3, 2, 0, 0, 48, 2, 3},    // default size: ld = rows
      {3, 2, 0, 64, 64, 2, 4},   // room per column
      {3, 2, 0, 60, 60, 2, 3},   // unsigned division rounds down
      {4, 0, 0, 0, 0, 1, 0},     // 0 columns are stored as 1
      {0, 3, 0, 0, 0, 3, 0},
      {1, 1, 0, 0, 8, 1, 1},
      {3, 2, 5, 0, 48, 2, 5},    // an explicit leading dimension does not enter the size
      {3, 0, 7, 56, 56, 1, 7},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << "x" << c.cols << " ld " << c.given_ld << " size " << c.size);
    auto* real = static_cast<double*>(::operator new(64));
    auto* imag = static_cast<double*>(::operator new(64));
    aMatrix* m = c.given_ld ? aMatrix::mk(allocator, c.rows, c.cols, c.given_ld, real, imag, c.size)
                            : aMatrix::mk(allocator, c.rows, c.cols, real, imag, c.size);
    Host::MatrixRequest const& request = host.last_matrix_request();
    EXPECT_EQ(request.real, real);
    EXPECT_EQ(request.imag, imag);
    EXPECT_EQ(request.rows, c.rows);
    EXPECT_EQ(request.cols, c.cols) << "the host sees the columns as given";
    EXPECT_EQ(request.size, c.stored_size);
    EXPECT_EQ(word_at(m, 0), 5u);
    EXPECT_EQ(m->ld, c.ld);
    EXPECT_EQ(m->size, c.stored_size);
    EXPECT_EQ(m->host_word12, Host::kFillWord) << "left as allocated";
    EXPECT_EQ(m->real, real);
    EXPECT_EQ(m->imag, imag);
    EXPECT_EQ(m->rows, c.rows);
    EXPECT_EQ(m->cols, c.stored_cols);
    EXPECT_EQ(m->host_word32, 0u);
    EXPECT_EQ(m->host_word36, 0u);
    host.release(m);
  }
}

TEST_F(MatrixConstructors, OneCellFormMakesOnlyThePartArraysTheValueNeeds) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    int i, j;
    double real, imag;
    bool has_real, has_imag;
  };
  Case const cases[] = {
      {1, 2, 5.0, 0.0, true, false},  {1, 2, 0.0, 2.0, false, true}, {1, 2, 0.0, 0.0, true, false},
      {0, 0, 3.0, -4.0, true, true},  {2, 0, -0.0, 0.0, true, false}, {0, 1, 0.0, -0.0, true, false},
      {0, 0, nan, 0.0, true, false},  {0, 0, 0.0, nan, false, true},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.i << ", " << c.j << ") " << c.real << " + " << c.imag << "i");
    aComplex z = complex_record(c.real, c.imag);
    aMatrix* m = aMatrix::mk(allocator, c.i, c.j, &z);
    int rows = c.i + 1, cols = c.j + 1, n = rows * cols;
    ASSERT_EQ(m->rows, rows);
    ASSERT_EQ(m->cols, cols);
    EXPECT_EQ(m->ld, rows);
    EXPECT_EQ(m->size, unsigned(8 * n));
    ASSERT_EQ(m->real != nullptr, c.has_real);
    ASSERT_EQ(m->imag != nullptr, c.has_imag);
    int last = n - 1;  // cell (i, j) is the last row of the last column
    for (int k = 0; k < n; ++k) {
      if (m->real) {
        EXPECT_EQ(bits(m->real[k]), bits(k == last ? c.real : 0.0)) << "real " << k;
      }
      if (m->imag) {
        EXPECT_EQ(bits(m->imag[k]), bits(k == last ? c.imag : 0.0)) << "imag " << k;
      }
    }
    host.release(m);
  }
}

}  // namespace
