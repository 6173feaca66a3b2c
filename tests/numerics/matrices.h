// Matrix records for the numerics tests, bitwise checks of their cells, and the fixture and
// names the numerics suites share.
#pragma once

#include <optional>
#include <tuple>
#include <vector>

#include "tests/support/test_support.h"

namespace vellum::test {

namespace et = vellum::error_text;
using faults::Mode;
using faults::ScopedFailure;
using V = std::vector<double>;
using Values = std::optional<V>;
inline constexpr std::nullopt_t kAbsent = std::nullopt;

// A rows x cols record from column-major values; ld 0 means compact. Padding rows hold
// host::kPaddingValue, so a reader that ignores the leading dimension gets conspicuous values.
inline aMatrix* matrix(IvlAllocator* allocator, int rows, int cols, Values real, Values imag = kAbsent, int ld = 0) {
  return host::make_matrix(allocator, {rows, cols, std::move(real), std::move(imag), ld});
}

// The cells of one part, column-major and compact, or nothing when the part is absent.
inline Values cells(aMatrix const* m, double* aMatrix::*part) {
  double const* data = m->*part;
  if (!data) return kAbsent;
  V out;
  for (int j = 0; j < m->cols; ++j)
    for (int i = 0; i < m->rows; ++i) out.push_back(data[static_cast<std::ptrdiff_t>(j) * m->ld + i]);
  return out;
}

// Compares shape, presence and bit patterns of both parts.
inline void expect_matrix(aMatrix const* m, int rows, int cols, Values real, Values imag) {
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->tag, ValueTag::Matrix);
  ASSERT_EQ(m->rows, rows);
  ASSERT_EQ(m->cols, cols);
  for (auto [part, expected, name] : {std::tuple{&aMatrix::real, &real, "real"}, {&aMatrix::imag, &imag, "imag"}}) {
    Values actual = cells(m, part);
    ASSERT_EQ(actual.has_value(), expected->has_value()) << name << " part present";
    if (!actual) continue;
    ASSERT_EQ(actual->size(), (*expected)->size()) << name;
    for (std::size_t e = 0; e < actual->size(); ++e)
      EXPECT_EQ(bits((**expected)[e]), bits((*actual)[e])) << name << " cell " << e << ": " << (**expected)[e]
                                                              << " vs " << (*actual)[e];
  }
}

// Compact results carry ld = rows and size = rows * cols * 8.
inline void expect_compact(aMatrix const* m) {
  EXPECT_EQ(m->ld, m->rows);
  EXPECT_EQ(m->size, static_cast<unsigned>(m->rows * m->cols * 8));
}

// A host whose records the test makes by shape and values.
class NumericsTest : public HostTest {
 protected:
  aMatrix* matrix(int rows, int cols, Values real, Values imag = kAbsent, int ld = 0) {
    return test::matrix(allocator, rows, cols, std::move(real), std::move(imag), ld);
  }
  aVector* vector(Values real, Values imag = kAbsent, int length = -1) {
    int rows = length >= 0 ? length : static_cast<int>(real ? real->size() : imag->size());
    return view_as<aVector>(matrix(rows, 1, std::move(real), std::move(imag)));
  }
  // A record with no cells in one dimension, as the host may hand over.
  aMatrix* empty(int rows, int cols) { return aMatrix::mk(allocator, rows, cols, nullptr, nullptr, 0); }
  // What an out-parameter holds before the call, so that a call that must not write it shows.
  aMatrix* const kUntouched = reinterpret_cast<aMatrix*>(std::uintptr_t{0x5A5A5A50});
};

}  // namespace vellum::test
