// Internal to the library: the index ranges of the offset-indexed arrays and the choice between
// their block and segmented layouts. Nothing here is exported.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vellum::nr {

// An inclusive index range lo..hi.
struct Range {
  std::uint32_t lo;
  std::uint32_t hi;

  bool empty() const { return hi < lo; }
  // hi - lo + 1 without wrapping: up to 2^32.
  std::uint64_t length() const { return std::uint64_t{hi} - lo + 1; }
};

// Rows, columns, depth: as many as the array has dimensions.
template <std::size_t D>
using Ranges = std::array<Range, D>;

// Block and Segmented are layouts; BySize asks choose_layout for one.
enum class Layout { Block, Segmented, BySize };

// The layout that the operations choosing by size take for elements of `element_size` bytes
// (4 or 8) over `ranges` (two or three of them): with n = product of the range lengths + 1, all
// in wrapping unsigned 32-bit arithmetic, Segmented when n >= 0xFFFFFFFF / element_size
// (0x3FFFFFFF for 4-byte elements, 0x1FFFFFFF for doubles), Block otherwise. Allocation and
// release ask with the same bounds and so agree.
Layout choose_layout(std::size_t element_size, std::span<Range const> ranges);

}  // namespace vellum::nr
