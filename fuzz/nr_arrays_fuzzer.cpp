// Offset-indexed arrays of every exported operation over any bounds: laid out, kept and released
// as documented (tests/memory/nr_check.h); an empty range, or a block too large for a 32-bit byte
// count, fails with nothing left allocated.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "tests/memory/nr_check.h"

using namespace vellum::test;

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  vellum::fuzz::Input in(data, size);
  NRRow const& row = nr_rows()[in.ConsumeIntegralInRange<std::size_t>(0, nr_rows().size() - 1)];
  // Elements stay at a few thousand, since every one is visited, unless the array is too large to
  // be had at all (its last range long, in a layout of one data block). Low bounds lie anywhere
  // where the layout moves its pointers, and near 0 where it does not.
  bool const one_block = row.dimension == 1 || row.name.starts_with("Block");
  bool const huge = one_block && in.ConsumeIntegralInRange(0, 7) == 0;
  std::uint32_t const longest = row.dimension == 1 ? 3000 : row.dimension == 2 ? 60 : 16;
  NRBounds b(row.dimension);
  std::uint64_t elements = 1;
  for (std::size_t d = 0; d < row.dimension; ++d) {
    std::uint32_t const length = huge && d + 1 == row.dimension
                                     ? in.ConsumeIntegralInRange<std::uint32_t>(1u << 26, UINT32_MAX)
                                     : in.ConsumeIntegralInRange<std::uint32_t>(1, longest);
    std::uint32_t const lo = row.layout == NRLayout::Block && in.ConsumeBool()
                                 ? in.ConsumeIntegralInRange<std::uint32_t>(0, -length)
                                 : in.ConsumeIntegralInRange<std::uint32_t>(0, 40);
    b[d] = {lo, lo + (length - 1)};
    elements *= length;
  }
  bool const empty = in.ConsumeIntegralInRange(0, 7) == 0;
  if (empty) b.back() = {b.back()[0] | 1, (b.back()[0] | 1) - 1};
  std::string const what = row.name + " from " + std::to_string(b[0][0]) + " to " + std::to_string(b.back()[1]);
  if (empty || huge) {
    if (!empty && (elements + 1) * row.element_size <= UINT32_MAX) return 0;  // could be had: too much to visit
    std::int64_t const before = vellum::faults::live_blocks();
    CHECK(row.attempt(b) == 0, what);
    CHECK(vellum::faults::live_blocks() == before, what);
    return 0;
  }
  std::string const fault = row.check(b);
  CHECK(fault.empty(), what + ": " + fault);
  return 0;
}
