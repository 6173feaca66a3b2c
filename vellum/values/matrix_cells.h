// The cell rules of the matrix record, written once for every reader and writer:
// nested cells, absent part arrays read as zeros, and writes that create an absent array.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <new>

#include <vellum/values/anyval.h>

namespace vellum {

// A cell of the real array holds a nested value when the upper 32 bits of its pattern are all
// ones (a NaN); the lower 32 bits are then the address of the nested record. Imaginary arrays
// never hold nested values.
inline constexpr std::uint32_t kNestedCellMark = 0xFFFFFFFFu;

constexpr bool is_nested_cell(double cell) noexcept {
  return static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(cell) >> 32) == kNestedCellMark;
}

// The record of a nested cell. Under LP64 only records below 4 GiB can be encoded.
inline Anyval* nested_value(double cell) noexcept {
  auto low = static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(cell));
  return reinterpret_cast<Anyval*>(static_cast<std::uintptr_t>(low));
}

inline double make_nested_cell(Anyval const* value) noexcept {
  auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(value)) & 0xFFFFFFFFu;
  return std::bit_cast<double>((std::uint64_t{kNestedCellMark} << 32) | address);
}

// What every cell of an absent part array reads as.
inline constexpr double kStaticZero = 0.0;

// The cells of a rows x cols matrix. A negative dimension, or a product beyond the address
// space, gives SIZE_MAX: a count no allocation can satisfy, so that a malformed record fails as
// running out of memory does instead of reading or writing anything.
constexpr std::size_t cell_count(std::int32_t rows, std::int32_t cols) noexcept {
  if (rows < 0 || cols < 0) return SIZE_MAX;
  auto const r = static_cast<std::size_t>(rows), c = static_cast<std::size_t>(cols);
  return c != 0 && r > SIZE_MAX / c ? SIZE_MAX : r * c;
}

constexpr std::ptrdiff_t cell_index(std::int32_t ld, std::int32_t row, std::int32_t col) noexcept {
  return static_cast<std::ptrdiff_t>(col) * ld + row;
}

// The address of cell (row, col), or of the static zero when the array is absent.
constexpr double const* elem_ptr(double const* array, std::int32_t ld, std::int32_t row,
                                 std::int32_t col) noexcept {
  return array ? array + cell_index(ld, row, col) : &kStaticZero;
}

// Stores into cell (row, col); an absent array stays absent and the value is dropped.
inline void set_elem(double* array, std::int32_t ld, std::int32_t row, std::int32_t col,
                     double value) noexcept {
  if (array) array[cell_index(ld, row, col)] = value;
}

// The write rule of the matrix record, through the slot that holds a part array: a 0.0 written
// into an absent array leaves it absent; any other value first creates the array (size / 8
// doubles, all 0.0). When that allocation fails the slot stays null and the value is dropped.
inline void set_elem_grow(double** slot, std::int32_t ld, std::int32_t row, std::int32_t col,
                          std::uint32_t size, double value) noexcept {
  if (!*slot) {
    if (value == 0.0) return;
    std::size_t count = size / sizeof(double);
    auto* array = static_cast<double*>(::operator new(count * sizeof(double), std::nothrow));
    if (!array) return;
    for (std::size_t k = 0; k < count; ++k) array[k] = 0.0;
    *slot = array;
  }
  (*slot)[cell_index(ld, row, col)] = value;
}

}  // namespace vellum
