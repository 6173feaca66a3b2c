// The cell rules every kernel shares, and the size limit of the scratch arrays.
#include <limits>

#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

TEST(Cells, AbsentArraysReadAsZeroAndAWriteCreatesOneForAValueThatIsNotZero) {
  double a[12] = {};
  EXPECT_EQ(elem_ptr(a, 4, 3, 2), &a[11]) << "column-major with the leading dimension";
  EXPECT_EQ(elem_ptr(nullptr, 4, 3, 2), &kStaticZero);
  for (double value : {0.0, -0.0, 5.0, -1e-300, std::numeric_limits<double>::quiet_NaN()}) {
    double* slot = nullptr;
    faults::count_only();
    set_elem_grow(&slot, 2, 0, 1, 31, value);  // 31 bytes hold three doubles
    ASSERT_EQ(slot != nullptr, value != 0.0) << value;
    if (!slot) continue;
    EXPECT_EQ(std::tuple(bits(slot[0]) | bits(slot[1]), bits(slot[2]), faults::journal()[0].bytes),
              std::tuple(std::uint64_t{0}, bits(value), 3 * sizeof(double)));
    ::operator delete(slot);  // the fault injector's fence catches a write past the three
  }
  double* slot = nullptr;
#if !defined(_WIN32)
  EXPECT_DEATH((set_elem_grow(&slot, 1, 0, 1, 8, 5.0), ::operator delete(slot)), "8 bytes was written past its end");
#endif
  faults::ScopedFailure failure(1);
  set_elem_grow(&slot, 1, 0, 0, 16, 5.0);
  EXPECT_EQ(slot, nullptr) << "an array that cannot be had drops the value";
}

TEST(ScratchArray, AsksForTheLargestCountThatFitsTheAddressSpaceAndNoLarger) {
  std::size_t volatile largest = SIZE_MAX / sizeof(double);  // not a constant the compiler warns about
  faults::ScopedFailure failure(1);                          // refuses the first request before the system sees it
  EXPECT_FALSE(ScratchArray(largest + 1));
  EXPECT_EQ(faults::allocations_since_arm(), 0u);
  EXPECT_FALSE(ScratchArray(largest));
  EXPECT_EQ(faults::allocations_since_arm(), 1u);
}

}  // namespace
}  // namespace vellum::test
