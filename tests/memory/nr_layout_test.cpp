#include <vector>

#include <gtest/gtest.h>

#include <vellum/memory/nr_layout.h>

namespace {

using vellum::nr::choose_layout;
using vellum::nr::Layout;
using vellum::nr::Range;

// n = product of the range lengths + 1 in wrapping 32-bit arithmetic, against 0x3FFFFFFF for
// 4-byte elements and 0x1FFFFFFF for doubles.
TEST(NRLayout, SegmentedFromTheThresholdOnWithTheCountWrappingIn32Bits) {
  struct Case {
    char const* what;
    std::size_t element_size;
    std::vector<Range> ranges;
    Layout expected;
  };
  Case const cases[] = {
      {"n = 0x3FFFFFFE", 4, {{1, 0x3FFFFFFD}, {1, 1}}, Layout::Block},
      {"n = 0x3FFFFFFF", 4, {{1, 0x3FFFFFFE}, {1, 1}}, Layout::Segmented},
      {"n = 0x40000000", 4, {{1, 1}, {0, 0x3FFFFFFE}}, Layout::Segmented},
      {"n = 0x1FFFFFFE", 8, {{1, 0x1FFFFFFD}, {1, 1}}, Layout::Block},
      {"n = 0x1FFFFFFF", 8, {{1, 0x1FFFFFFE}, {1, 1}}, Layout::Segmented},
      {"n = 0x1FFFFFFF, 4 bytes", 4, {{1, 0x1FFFFFFE}, {1, 1}}, Layout::Block},
      {"n = 2 x 0x0FFFFFFF + 1", 8, {{5, 6}, {0x10000000, 0x1FFFFFFE}}, Layout::Segmented},
      {"3D n = 0x1FFFFFFF", 8, {{1, 2}, {1, 1}, {1, 0x0FFFFFFF}}, Layout::Segmented},
      {"3D n = 0x1FFFFFFE", 8, {{1, 1}, {1, 0x1FFFFFFD}, {7, 7}}, Layout::Block},
      {"3D n = 0x3FFFFFFF", 4, {{1, 2}, {1, 0x1FFFFFFF}, {1, 1}}, Layout::Segmented},
      {"3D n = 0x3FFFFFFE", 4, {{3, 3}, {1, 1}, {0, 0x3FFFFFFC}}, Layout::Block},
      {"65536 x 65536 + 1 wraps to 1", 4, {{1, 65536}, {1, 65536}}, Layout::Block},
      {"0xFFFFFFFF rows + 1 wraps to 0", 8, {{0, 0xFFFFFFFE}, {3, 3}}, Layout::Block},
      {"2^32 rows wrap to 0, n = 1", 8, {{0, 0xFFFFFFFF}, {1, 8}}, Layout::Block},
      {"0x10000 x 0x10000 x 2 + 1 wraps to 1", 4, {{1, 0x10000}, {1, 0x10000}, {1, 2}}, Layout::Block},
      {"3 x 0x5FFFFFFF + 1 wraps to 0x1FFFFFFE", 8, {{1, 3}, {1, 0x5FFFFFFF}}, Layout::Block},
      {"3D 2^30 + 1", 4, {{1, 0x8000}, {1, 0x8000}, {1, 1}}, Layout::Segmented},
      {"3 x 4", 8, {{1, 3}, {1, 4}}, Layout::Block},
  };
  for (Case const& c : cases) EXPECT_EQ(choose_layout(c.element_size, c.ranges), c.expected) << c.what;
}

}  // namespace
