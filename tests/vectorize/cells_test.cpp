// The cell rules every reader and writer of matrices shares.
#include <limits>

#include "tests/support/test_support.h"

namespace {

using vellum::test::bits;
using vellum::test::from_bits;
using vellum::test::HostTest;

TEST(NestedCells, OnlyAnAllOnesUpperWordMarksANestedCell) {
  struct Case {
    std::uint64_t pattern;
    bool nested;
  };
  Case const cases[] = {
      {0xFFFFFFFF00000000u, true},  {0xFFFFFFFF12345678u, true},  {0xFFFFFFFFFFFFFFFFu, true},
      {0xFFFFFFFE00000000u, false}, {0x7FFFFFFF00000000u, false}, {0xFFF8000000000000u, false},
      {0x7FF8000000000000u, false}, {0x7FF0000000000000u, false}, {0x0000000000000000u, false},
      {0x8000000000000000u, false}, {0xBFFFFFFF00000000u, false},
  };
  for (Case const& c : cases)
    EXPECT_EQ(vellum::is_nested_cell(from_bits(c.pattern)), c.nested) << std::hex << c.pattern;
}

class Cells : public HostTest {};

TEST_F(Cells, ANestedCellCarriesTheRecordAddressInItsLowerWord) {
  aString* s = aString::mk(allocator, "cell");
  double cell = vellum::make_nested_cell(s);
  EXPECT_TRUE(vellum::is_nested_cell(cell));
  EXPECT_EQ(bits(cell) >> 32, 0xFFFFFFFFu);
  EXPECT_EQ(vellum::nested_value(cell), static_cast<Anyval*>(s)) << "host records must lie below 4 GiB";
  host.release(s);
}

TEST(CellAccess, AbsentArraysReadAsTheStaticZeroAndIgnoreWrites) {
  double const* zero = vellum::elem_ptr(nullptr, 4, 3, 2);
  EXPECT_EQ(zero, &vellum::kStaticZero);
  EXPECT_EQ(bits(*zero), 0u);
  double a[12];
  for (int k = 0; k < 12; ++k) a[k] = k;
  EXPECT_EQ(vellum::elem_ptr(a, 4, 3, 2), &a[11]) << "column-major with the leading dimension";
  vellum::set_elem(a, 5, 1, 1, -1.0);
  EXPECT_EQ(a[6], -1.0);
  vellum::set_elem(nullptr, 5, 1, 1, -1.0);  // must not crash
}

TEST_F(Cells, GrowingWriteCreatesAnAbsentArrayForNonZeroValuesOnlyAndWritesAPresentOne) {
  struct Case {
    double value;
    bool creates;
  };
  for (Case c : {Case{0.0, false}, Case{-0.0, false}, Case{5.0, true}, Case{-1e-300, true},
                 Case{std::numeric_limits<double>::quiet_NaN(), true}}) {
    SCOPED_TRACE(c.value);
    double* slot = nullptr;
    vellum::set_elem_grow(&slot, 3, 1, 0, 24, c.value);
    ASSERT_EQ(slot != nullptr, c.creates);
    if (!slot) continue;
    EXPECT_EQ(bits(slot[0]), 0u);
    EXPECT_EQ(bits(slot[1]), bits(c.value));
    EXPECT_EQ(bits(slot[2]), 0u);
    ::operator delete(slot);
  }
  // A present array takes zeros too.
  double a[4] = {1, 2, 3, 4};
  double* present = a;
  vellum::set_elem_grow(&present, 2, 1, 1, 32, -0.0);
  EXPECT_EQ(present, a);
  EXPECT_EQ(bits(a[3]), bits(-0.0));

  // A failed allocation leaves the slot null and drops the value.
  double* slot = nullptr;
  {
    vellum::faults::ScopedFailure failure(1);
    vellum::set_elem_grow(&slot, 1, 0, 0, 16, 5.0);
    EXPECT_EQ(vellum::faults::failures_since_arm(), 1u);
  }
  EXPECT_EQ(slot, nullptr);
  // The byte size rounds down: 31 bytes hold three doubles, and AddressSanitizer would object to
  // a write into a fourth.
  vellum::set_elem_grow(&slot, 3, 2, 0, 31, 7.0);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot[2], 7.0);
  ::operator delete(slot);
}

TEST(ScratchArray, OwnsItsArrayUntilHandedOnAndReportsExhaustionAsNull) {
  namespace faults = vellum::faults;
  std::int64_t const before = faults::live_blocks();
  {
    vellum::ScratchArray kept(8);
    ASSERT_TRUE(kept);
    EXPECT_EQ(faults::live_blocks(), before + 1);
  }
  EXPECT_EQ(faults::live_blocks(), before) << "the destructor frees";
  double* handed_on;
  {
    vellum::ScratchArray owner(4);
    handed_on = owner.release();
    EXPECT_FALSE(owner);
  }
  EXPECT_EQ(faults::live_blocks(), before + 1) << "released arrays survive their owner";
  ::operator delete(handed_on);
  vellum::ScratchArray early(4);
  early.reset();
  EXPECT_EQ(faults::live_blocks(), before) << "reset frees at once";

  {
    faults::ScopedFailure failure(1);
    EXPECT_FALSE(vellum::ScratchArray(16));
  }
  faults::count_only();
  EXPECT_FALSE(vellum::ScratchArray(SIZE_MAX / 4));
  EXPECT_EQ(faults::allocations_since_arm(), 0u) << "a size beyond the address space is not asked for";
  faults::disarm();
}

}  // namespace
