#include "tests/memory/nr_check.h"
#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

TEST(MemoryBlocks, AreZeroFilledEvenOfZeroBytesAndNullWhenMemoryRunsOut) {
  std::int64_t const before = faults::live_blocks();
  auto* five = static_cast<unsigned char*>(VellumAllocate(5));
  void* none = VellumAllocate(0);
  void* other = VellumAllocate(0);
  ASSERT_TRUE(five && none && other);
  EXPECT_NE(none, other);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(five[k], 0) << k;
  for (void* block : {static_cast<void*>(five), none, other, static_cast<void*>(nullptr)}) VellumFree(block);
  EXPECT_EQ(faults::live_blocks(), before);
  faults::ScopedFailure failure(1);
  EXPECT_EQ(VellumAllocate(16), nullptr);
}

// A real vector's block holds count doubles of zero (the byte count wrapping in 32 bits); a count
// of 0 needs no block; a failure and every release leave the record empty.
TEST(RealVectors, FillAndEmptyTheirRecord) {
  std::int64_t const before = faults::live_blocks();
  for (std::int32_t count : {3, 0, 0x20000001}) {
    tagREALVECTOR v{count, reinterpret_cast<double*>(0x8)};
    faults::count_only();
    ASSERT_EQ(VlmAllocate(&v), 1) << count;
    std::vector<faults::Event> made = events(true);
    faults::disarm();
    EXPECT_EQ(made.size() == 1 ? made[0].bytes : made.size(), static_cast<std::uint32_t>(count) * 8u) << count;
    for (int k = 0; k < (count == 3 ? 3 : 0); ++k) EXPECT_EQ(bits(v.data[k]), 0u);
    VlmFree(&v);
    EXPECT_TRUE(v.count == 0 && v.data == nullptr) << count;
    VlmFree(&v);
  }
  tagREALVECTOR failing{2, reinterpret_cast<double*>(0x8)};
  faults::arm(1);
  EXPECT_EQ(VlmAllocate(&failing), 0);
  faults::disarm();
  EXPECT_EQ(failing.data, nullptr);
  EXPECT_EQ(faults::live_blocks(), before);
  EXPECT_EQ(WasESCKeyPressed(), 0);
}

}  // namespace
}  // namespace vellum::test
