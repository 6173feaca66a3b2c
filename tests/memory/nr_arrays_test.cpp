// Every exported offset-indexed array operation, taken from the library's own table of them,
// checked against the documented layouts (nr_check.h), with empty ranges, memory running out
// anywhere, and sizes at the limits of a 32-bit byte count.
#include "tests/memory/nr_check.h"
#include "tests/support/sweep.h"
#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

// Bounds of each dimension; those near the top of the index range only for the layouts that
// move their pointers (a segmented block reaches from index 0 to the high bound).
std::vector<NRBounds> bounds(std::size_t dimension, NRLayout layout) {
  bool const high = layout == NRLayout::Block;
  std::vector<NRBounds> b;
  if (dimension == 1) b = {{{1, 3}}, {{0, 0}}, {{5, 5}}, {{0xFFFFFFFD, 0xFFFFFFFF}}, {{0x7FFFFFFF, 0x80000001}}};
  if (dimension == 2) b = {{{5, 6}, {7, 8}}, {{0, 1}, {0, 2}}, {{1, 3}, {1, 4}}, {{4, 4}, {9, 9}}};
  if (dimension == 2 && high) b.push_back({{0xFFFFFFFE, 0xFFFFFFFF}, {0x80000000, 0x80000002}});
  if (dimension == 3) b = {{{1, 2}, {1, 3}, {1, 4}}, {{3, 4}, {2, 2}, {7, 9}}, {{0, 1}, {0, 1}, {5, 5}}};
  if (dimension == 3 && high) b.push_back({{0xFFFFFFFF, 0xFFFFFFFF}, {0x7FFFFFFF, 0x80000000}, {0xFFFFFFFE, 0xFFFFFFFF}});
  return b;
}

TEST(NRArrays, EveryOperationLaysOutKeepsAndReleasesItsArray) {
  EXPECT_EQ(nr_rows().size(), 21u);
  for (NRRow const& r : nr_rows())
    for (NRBounds const& b : bounds(r.dimension, r.layout))
      EXPECT_EQ(r.check(b), "") << r.name << " over " << testing::PrintToString(b);
}

TEST(NRArrays, AnEmptyRangeInAnyDimensionFailsBeforeAnythingIsAllocated) {
  for (NRRow const& r : nr_rows())
    for (std::size_t d = 0; d < r.dimension; ++d)
      for (std::array<std::uint32_t, 2> empty : {std::array<std::uint32_t, 2>{5, 4}, {0xFFFFFFFF, 0}}) {
        NRBounds b(r.dimension, {2, 3});
        b[d] = empty;
        faults::count_only();
        EXPECT_EQ(r.attempt(b), 0) << r.name << ", dimension " << d;
        EXPECT_EQ(faults::allocations_since_arm(), 0u) << r.name;
        faults::disarm();
      }
}

// Wherever memory runs out, the allocation stops there, answers 0 with the pointer null, and
// has given back what it had, from the last block made to the first.
TEST(NRArrays, RunningOutOfMemoryAnywhereUnwindsEverything) {
  for (NRRow const& r : nr_rows()) {
    NRBounds b{{2, 4}, {1, 3}, {0, 1}};
    b.resize(r.dimension);
    int result = 0;
    SweepPoints points = sweep(
        r.name, [&] { result = r.attempt(b); },
        [&](Step const& step) {
          if (step.completed()) {
            EXPECT_EQ(result, 1);
            return;
          }
          EXPECT_EQ(result, 0) << "answers 0 and leaves the pointer null";
          EXPECT_TRUE(step.unwound_in_reverse());
          std::size_t made = 0;
          for (faults::Event const& e : step.journal) made += e.allocated;
          EXPECT_EQ(made + 1, step.fail_at) << "stops at the failure";
        });
    std::size_t const blocks = r.dimension == 1 || r.layout == NRLayout::Block ? r.dimension
                               : r.dimension == 2                             ? 1 + 3
                                                                              : 1 + 3 * (1 + 3);
    EXPECT_EQ(points.memory, 2 * blocks) << r.name << ": every block, once and from then on";
  }
}

// Sizes at the limits. A block whose byte count does not fit 32 bits is never asked for. The
// operations that choose by size take the segmented layout from n = 0x3FFFFFFF (4-byte elements)
// or 0x1FFFFFFF (doubles) on, n being the element count + 1 wrapping in 32 bits; here its first
// block (row pointers up to 2^31) is already too large. Allocation `fail` and every later one
// fail; `asked` is how many were attempted.
TEST(NRArrays, OversizedBlocksAreNotAskedForAndTheSizeDecidesTheLayout) {
  constexpr std::uint32_t kR = 0x7FFFFFFF;  // segmented row pointers up to 2^31: too many
  struct Case {
    char const* what;
    std::size_t fail, asked;
    std::function<int(void*&)> allocate;
  };
  Case const cases[] = {
      {"0xFFFFFFFF bytes", 1, 1, [](void*& v) { return NRAllocate(reinterpret_cast<unsigned char*&>(v), 0, 0xFFFFFFFD); }},
      {"2^32 bytes", 1, 0, [](void*& v) { return NRAllocate(reinterpret_cast<unsigned char*&>(v), 0, 0xFFFFFFFE); }},
      {"0x1FFFFFFF doubles", 1, 1, [](void*& v) { return NRAllocate(reinterpret_cast<double*&>(v), 1, 0x1FFFFFFE); }},
      {"0x20000000 doubles", 1, 0, [](void*& v) { return NRAllocate(reinterpret_cast<double*&>(v), 1, 0x1FFFFFFF); }},
      {"65536 x 65536 ints, n wraps to 1: block", 2, 1,
       [](void*& v) { return NRAllocate(reinterpret_cast<int**&>(v), 1, 65536, 1, 65536); }},
      {"ints, n = 0x3FFFFFFF: segmented", 2, 0,
       [](void*& v) { return NRAllocate(reinterpret_cast<int**&>(v), kR, kR, 1, 0x3FFFFFFE); }},
      {"ints, n = 0x3FFFFFFE: block", 2, 2,
       [](void*& v) { return NRAllocate(reinterpret_cast<int**&>(v), kR, kR, 1, 0x3FFFFFFD); }},
      {"doubles, n = 0x1FFFFFFF: segmented", 2, 0,
       [](void*& v) { return NRAllocate(reinterpret_cast<double**&>(v), kR, kR, 1, 0x1FFFFFFE); }},
      {"doubles, n = 0x1FFFFFFE: block", 2, 2,
       [](void*& v) { return NRAllocate(reinterpret_cast<double**&>(v), kR, kR, 1, 0x1FFFFFFD); }},
      {"floats 3D, n = 0x3FFFFFFF: segmented", 2, 0,
       [](void*& v) { return NRAllocate(reinterpret_cast<float***&>(v), kR, kR + 1, 1, 1, 1, 0x1FFFFFFF); }},
      {"floats 3D in the block layout, 2^32 elements", 3, 2,
       [](void*& v) { return BlockNRAllocate(reinterpret_cast<float***&>(v), 1, 2, 1, 2, 1, 0x40000000); }},
  };
  for (Case const& c : cases) {
    std::int64_t const before = faults::live_blocks();
    void* p = reinterpret_cast<void*>(std::uintptr_t{0x40});
    faults::arm(c.fail, faults::Mode::Persistent);
    EXPECT_EQ(c.allocate(p), 0) << c.what;
    EXPECT_EQ(faults::allocations_since_arm(), c.asked) << c.what;
    faults::disarm();
    EXPECT_EQ(p, nullptr) << c.what;
    EXPECT_EQ(faults::live_blocks(), before) << c.what;
  }
}

}  // namespace
}  // namespace vellum::test
