#include <new>

#include "tests/support/test_support.h"

namespace {

namespace faults = vellum::faults;

// Allocates `count` blocks through the throwing and the nothrow forms alternately; returns
// which of them failed (bit k for the (k+1)th).
unsigned allocate_and_record(int count) {
  unsigned failed = 0;
  for (int k = 0; k < count; ++k) {
    void* block = nullptr;
    if (k % 2) {
      block = ::operator new(16, std::nothrow);
    } else {
      try {
        block = ::operator new(16);
      } catch (std::bad_alloc const&) {
        block = nullptr;
      }
    }
    if (!block) failed |= 1u << k;
    ::operator delete(block);
  }
  return failed;
}

TEST(FaultInjection, FailsTheNthAllocationOnceOrFromThenOn) {
  struct Case {
    std::size_t nth;
    faults::Mode mode;
    unsigned failed;
  };
  Case const cases[] = {
      {1, faults::Mode::Once, 0b000001},  {2, faults::Mode::Once, 0b000010},
      {4, faults::Mode::Once, 0b001000},  {3, faults::Mode::Persistent, 0b111100},
      {0, faults::Mode::Once, 0b000000},  {9, faults::Mode::Persistent, 0b000000},
  };
  for (Case const& c : cases) {
    faults::arm(c.nth, c.mode);
    unsigned failed = allocate_and_record(6);
    std::size_t attempts = faults::allocations_since_arm();
    std::size_t failures = faults::failures_since_arm();
    faults::disarm();
    EXPECT_EQ(failed, c.failed) << "nth " << c.nth;
    EXPECT_EQ(attempts, 6u);
    EXPECT_EQ(failures, static_cast<std::size_t>(__builtin_popcount(c.failed)));
  }
  EXPECT_EQ(allocate_and_record(6), 0u) << "disarmed";
}

TEST(FaultInjection, CountsLiveBlocksOfEveryForm) {
  // Direct calls: new-expressions whose blocks are unused may be optimised away.
  std::int64_t before = faults::live_blocks();
  void* one = ::operator new(sizeof(int));
  void* many = ::operator new[](5 * sizeof(int));
  void* quiet = ::operator new(8, std::nothrow);
  void* wide = ::operator new(64, std::align_val_t{64});
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) % 64, 0u);
  EXPECT_EQ(faults::live_blocks(), before + 4);
  ::operator delete(one);
  ::operator delete[](many);
  ::operator delete(quiet, std::nothrow);
  ::operator delete(wide, std::align_val_t{64});
  EXPECT_EQ(faults::live_blocks(), before);
}

}  // namespace
