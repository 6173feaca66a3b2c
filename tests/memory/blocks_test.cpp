#include "tests/support/test_support.h"

namespace {

namespace faults = vellum::faults;

TEST(MemoryBlocks, AreZeroFilledAndZeroBytesStillGiveABlock) {
  std::int64_t before = faults::live_blocks();
  auto* five = static_cast<unsigned char*>(VellumAllocate(5));
  ASSERT_NE(five, nullptr);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(five[k], 0) << k;
  void* none = VellumAllocate(0);
  void* other = VellumAllocate(0);
  EXPECT_NE(none, nullptr);
  EXPECT_NE(none, other);
  EXPECT_EQ(faults::live_blocks(), before + 3);
  for (void* block : {static_cast<void*>(five), none, other}) VellumFree(block);
  VellumFree(nullptr);
  EXPECT_EQ(faults::live_blocks(), before);

  faults::ScopedFailure failure(1);
  EXPECT_EQ(VellumAllocate(16), nullptr);
}

TEST(RealVectors, FillAndEmptyTheirRecord) {
  std::int64_t before = faults::live_blocks();
  tagREALVECTOR v{3, reinterpret_cast<double*>(0x1)};
  ASSERT_EQ(VlmAllocate(&v), 1);
  ASSERT_NE(v.data, nullptr);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(vellum::test::bits(v.data[k]), 0u);
  VlmFree(&v);
  EXPECT_EQ(v.count, 0);
  EXPECT_EQ(v.data, nullptr);
  VlmFree(&v);  // releases nothing
  EXPECT_EQ(faults::live_blocks(), before);

  tagREALVECTOR empty{0, reinterpret_cast<double*>(0x1)};
  faults::count_only();
  EXPECT_EQ(VlmAllocate(&empty), 1);
  EXPECT_EQ(faults::allocations_since_arm(), 0u) << "a count of 0 allocates nothing";
  faults::disarm();
  EXPECT_EQ(empty.data, nullptr);

  tagREALVECTOR failing{2, nullptr};
  {
    faults::ScopedFailure failure(1);
    EXPECT_EQ(VlmAllocate(&failing), 0);
  }
  EXPECT_EQ(failing.data, nullptr);
  EXPECT_EQ(faults::live_blocks(), before);
}

TEST(Interruption, IsNeverReported) {
  for (int k = 0; k < 3; ++k) EXPECT_EQ(WasESCKeyPressed(), 0);
}

}  // namespace
