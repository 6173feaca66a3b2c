// The offset-indexed arrays with arbitrary bounds: every element in range is addressable, starts
// at zero and keeps what is written to it; block layouts are contiguous in row order; release
// returns every block (the operator new counter of the fault injector balances, and the
// sanitizer sees every access).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fuzzer/FuzzedDataProvider.h>

#include <vellum/memory/nr_arrays.h>
#include <vellum/memory/nr_layout.h>

#include "host/fault_injection.h"

namespace {

[[noreturn]] void fail(char const* what, unsigned long long a, unsigned long long b) {
  std::fprintf(stderr, "%s (%llu, %llu)\n", what, a, b);
  std::abort();
}
#define CHECK(condition, a, b) \
  do {                         \
    if (!(condition)) fail(#condition, a, b); \
  } while (0)

using vellum::nr::Layout;
using vellum::nr::Range;

// A distinct value for an element, and a test that an element holds it (or zero).
template <class T>
T value_for(std::uint64_t n) {
  if constexpr (std::is_same_v<T, DCOMPLEX>)
    return DCOMPLEX{static_cast<double>(n) + 0.5, -static_cast<double>(n)};
  else
    return static_cast<T>(n * 7 + 1);
}
template <class T>
bool same(T const& a, T const& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Bounds for one dimension. Pointer blocks and elements are kept to a few thousand, since every
// element is visited; low bounds may be anywhere in the 32-bit range where the layout moves its
// pointers, but stay small where it does not (a segmented block reaches from 0 to hi).
Range bounds(FuzzedDataProvider& in, std::uint32_t max_length, bool low_anywhere) {
  std::uint32_t length = in.ConsumeIntegralInRange<std::uint32_t>(1, max_length);
  std::uint32_t lo = low_anywhere && in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, UINT32_MAX - length + 1)
                                                      : in.ConsumeIntegralInRange<std::uint32_t>(0, 40);
  return {lo, lo + (length - 1)};
}

// The ranges of an allocation, sometimes with one range empty (high below low).
template <std::size_t D>
std::array<Range, D> ranges_for(FuzzedDataProvider& in, bool low_anywhere, bool& empty) {
  std::array<Range, D> r;
  std::uint32_t const max_length = D == 1 ? 3000 : D == 2 ? 60 : 16;
  for (auto& range : r) range = bounds(in, max_length, low_anywhere);
  empty = in.ConsumeIntegralInRange(0, 9) == 0;
  if (empty) {
    auto& victim = r[in.ConsumeIntegralInRange<std::size_t>(0, D - 1)];
    if (victim.lo == 0) victim.lo = 1;
    victim.hi = in.ConsumeIntegralInRange<std::uint32_t>(0, victim.lo - 1);
  }
  return r;
}

std::uint64_t length(Range r) { return std::uint64_t{r.hi} - r.lo + 1; }

template <class T>
void one_dimension(FuzzedDataProvider& in) {
  bool empty = false;
  auto r = ranges_for<1>(in, true, empty);
  std::int64_t before = vellum::faults::live_blocks();
  T* v = reinterpret_cast<T*>(std::uintptr_t{8});
  vellum::faults::count_only();
  int ok = NRAllocate(v, r[0].lo, r[0].hi);
  std::size_t asked = vellum::faults::allocations_since_arm();
  vellum::faults::disarm();
  if (empty) {
    CHECK(ok == 0 && v == nullptr && asked == 0, r[0].lo, r[0].hi);
    return;
  }
  CHECK(ok == 1 && v != nullptr, r[0].lo, r[0].hi);
  std::uint64_t n = 0;
  for (std::uint64_t i = r[0].lo; i <= r[0].hi; ++i) {
    CHECK(same(v[i], T{}), i, 0);
    v[i] = value_for<T>(n++);
  }
  n = 0;
  for (std::uint64_t i = r[0].lo; i <= r[0].hi; ++i) CHECK(same(v[i], value_for<T>(n++)), i, 0);
  // The spare just before the first index is part of the block.
  CHECK(same(v[std::int64_t{r[0].lo} - 1], T{}), r[0].lo, 0);
  NRFree(v, r[0].lo, r[0].hi);
  CHECK(v == nullptr, r[0].lo, r[0].hi);
  NRFree(v, r[0].lo, r[0].hi);
  CHECK(vellum::faults::live_blocks() == before, r[0].lo, r[0].hi);
}

enum class Family { Chosen, Block, Segmented };

template <class T, std::size_t D>
auto allocate(Family family, auto& array, std::array<Range, D> const& r) {
  if constexpr (D == 2) {
    switch (family) {
      case Family::Chosen: return NRAllocate(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi);
      case Family::Block: return BlockNRAllocate(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi);
      default: return SegmentedNRAllocate(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi);
    }
  } else {
    switch (family) {
      case Family::Chosen: return NRAllocate(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi, r[2].lo, r[2].hi);
      case Family::Block: return BlockNRAllocate(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi, r[2].lo, r[2].hi);
      default: return SegmentedNRAllocate(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi, r[2].lo, r[2].hi);
    }
  }
}
template <class T, std::size_t D>
void release(Family family, auto& array, std::array<Range, D> const& r) {
  if constexpr (D == 2) {
    switch (family) {
      case Family::Chosen: return NRFree(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi);
      case Family::Block: return BlockNRFree(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi);
      default: return SegmentedNRFree(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi);
    }
  } else {
    switch (family) {
      case Family::Chosen: return NRFree(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi, r[2].lo, r[2].hi);
      case Family::Block: return BlockNRFree(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi, r[2].lo, r[2].hi);
      default: return SegmentedNRFree(array, r[0].lo, r[0].hi, r[1].lo, r[1].hi, r[2].lo, r[2].hi);
    }
  }
}

// Two or three dimensions, in the family's layout (the chosen one is the block layout for every
// array small enough to be visited here).
template <class T, std::size_t D>
void many_dimensions(FuzzedDataProvider& in) {
  auto family = static_cast<Family>(in.ConsumeIntegralInRange(0, 2));
  bool empty = false;
  auto r = ranges_for<D>(in, family != Family::Segmented, empty);
  std::uint64_t cells = 1;
  for (Range range : r) cells *= length(range);
  bool const block = family != Family::Segmented;
  if (family == Family::Chosen && !empty)
    CHECK(vellum::nr::choose_layout(sizeof(T), r) == Layout::Block, cells, sizeof(T));

  using Array = std::conditional_t<D == 2, T**, T***>;
  std::int64_t before = vellum::faults::live_blocks();
  Array a = reinterpret_cast<Array>(std::uintptr_t{8});
  vellum::faults::count_only();
  int ok = allocate<T, D>(family, a, r);
  std::size_t asked = vellum::faults::allocations_since_arm();
  vellum::faults::disarm();
  if (empty) {
    CHECK(ok == 0 && a == nullptr && asked == 0, cells, asked);
    return;
  }
  CHECK(ok == 1 && a != nullptr, cells, 0);
  // Block layout: two or three allocations whatever the size.
  if (block) CHECK(asked == D, asked, D);
  if (!block) {
    for (std::uint64_t i = 0; i < r[0].lo; ++i) CHECK(a[i] == nullptr, i, r[0].lo);
  }

  std::uint64_t n = 0;
  auto visit = [&](auto&& at) {
    for (std::uint64_t i = r[0].lo; i <= r[0].hi; ++i)
      for (std::uint64_t j = r[1].lo; j <= r[1].hi; ++j) {
        if constexpr (D == 2) {
          at(a[i][j], i, j);
        } else {
          for (std::uint64_t k = r[2].lo; k <= r[2].hi; ++k) at(a[i][j][k], i, j * 65536 + k);
        }
      }
  };
  T const* first = nullptr;
  if constexpr (D == 2) first = &a[r[0].lo][r[1].lo];
  else first = &a[r[0].lo][r[1].lo][r[2].lo];
  visit([&](T& element, std::uint64_t i, std::uint64_t jk) {
    CHECK(same(element, T{}), i, jk);
    // Block layout: element number n in row order lies n elements after the first.
    if (block) CHECK(&element == first + n, i, jk);
    element = value_for<T>(n++);
  });
  CHECK(n == cells, n, cells);
  n = 0;
  visit([&](T& element, std::uint64_t i, std::uint64_t jk) { CHECK(same(element, value_for<T>(n++)), i, jk); });

  release<T, D>(family, a, r);
  CHECK(a == nullptr, cells, 0);
  release<T, D>(family, a, r);
  CHECK(vellum::faults::live_blocks() == before, cells, static_cast<unsigned long long>(vellum::faults::live_blocks() - before));
}

// Arrays too large for a 32-bit byte count in the block layout: the allocation fails cleanly
// (0, pointer null) and gives back the pointer blocks it already had.
template <class T, std::size_t D>
void too_large(FuzzedDataProvider& in) {
  std::array<Range, D> r;
  std::uint64_t cells = 1;
  for (std::size_t d = 0; d < D; ++d) {
    // Pointer blocks stay small: the outer dimensions are short, the last one long.
    std::uint32_t len = d + 1 < D ? in.ConsumeIntegralInRange<std::uint32_t>(1, 64)
                                  : in.ConsumeIntegralInRange<std::uint32_t>(1u << 26, UINT32_MAX);
    std::uint32_t lo = in.ConsumeIntegralInRange<std::uint32_t>(0, UINT32_MAX - (len - 1));
    r[d] = {lo, lo + (len - 1)};
    cells *= len;
  }
  if ((cells + 1) * sizeof(T) <= UINT32_MAX) return;  // could be had: too much to visit here
  std::int64_t before = vellum::faults::live_blocks();
  using Array = std::conditional_t<D == 2, T**, T***>;
  Array a = reinterpret_cast<Array>(std::uintptr_t{8});
  int ok = allocate<T, D>(Family::Block, a, r);
  CHECK(ok == 0 && a == nullptr, cells, sizeof(T));
  CHECK(vellum::faults::live_blocks() == before, cells, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  switch (in.ConsumeIntegralInRange(0, 17)) {
    case 0: one_dimension<unsigned char>(in); break;
    case 1: one_dimension<int>(in); break;
    case 2: one_dimension<unsigned long>(in); break;
    case 3: one_dimension<float>(in); break;
    case 4: one_dimension<double>(in); break;
    case 5: one_dimension<DCOMPLEX>(in); break;
    case 6: many_dimensions<int, 2>(in); break;
    case 7: many_dimensions<float, 2>(in); break;
    case 8: many_dimensions<double, 2>(in); break;
    case 9: many_dimensions<float, 3>(in); break;
    case 10: many_dimensions<double, 3>(in); break;
    case 11: too_large<int, 2>(in); break;
    case 12: too_large<double, 2>(in); break;
    case 13: too_large<float, 3>(in); break;
    case 14: too_large<double, 3>(in); break;
    default: many_dimensions<double, 2>(in); break;
  }
  return 0;
}
