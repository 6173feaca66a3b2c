// One offset-indexed array allocated, used and released, against the layouts as they are
// documented (vellum/memory/nr_arrays.h): the blocks asked for and their sizes, where every
// pointer and element lies, zeros at first, values kept, and the blocks given back in their
// order. Shared by the memory suite (fixed bounds) and the fuzz target (any bounds).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <vellum/memory/nr_arrays.h>
#include <vellum/memory/nr_arrays_table.h>

#include "host/testing/fault_injection.h"

namespace vellum::test {

enum class NRLayout { Block, Segmented };
using NRBounds = std::vector<std::array<std::uint32_t, 2>>;  // low, high per dimension

inline std::uintptr_t address_of(void const* p) { return reinterpret_cast<std::uintptr_t>(p); }

// The blocks a call allocated, or the ones it released, in order.
inline std::vector<faults::Event> events(bool allocated) {
  std::vector<faults::Event> out;
  for (faults::Event const& e : faults::journal())
    if (e.allocated == allocated) out.push_back(e);
  return out;
}

// Runs `allocate(p)` and `release(p)` (the bounds bound in) over an array of T with the bounds'
// dimension; returns the first broken property, or "" when all hold.
template <class T, class Pointer, class Allocate, class Release>
std::string exercise(Allocate allocate, Release release, NRBounds const& b, NRLayout layout) {
  std::size_t const D = b.size(), P = sizeof(void*), S = sizeof(T);
  auto len = [&](std::size_t d) { return std::uint64_t{b[d][1]} - b[d][0] + 1; };
  std::uint64_t const ncol = D > 1 ? len(1) : 1, ndep = D > 2 ? len(2) : 1;
  // The blocks asked for, by their sizes.
  std::vector<std::uint64_t> sizes;
  if (D == 1) sizes = {(len(0) + 1) * S};
  if (D > 1 && layout == NRLayout::Block) {
    sizes = {(len(0) + 1) * P, (len(0) * ncol + 1) * (D == 2 ? S : P)};
    if (D == 3) sizes.push_back((len(0) * ncol * ndep + 1) * S);
  }
  if (D > 1 && layout == NRLayout::Segmented) {
    sizes = {(b[0][1] + std::uint64_t{1}) * P};
    for (std::uint64_t i = 0; i < len(0); ++i) {
      sizes.push_back((b[1][1] + std::uint64_t{1}) * (D == 2 ? S : P));
      for (std::uint64_t j = 0; D == 3 && j < ncol; ++j) sizes.push_back((b[2][1] + std::uint64_t{1}) * S);
    }
  }
  Pointer p = reinterpret_cast<Pointer>(std::uintptr_t{0x40});
  faults::count_only();
  int const ok = allocate(p);
  std::vector<faults::Event> const made = events(true);
  faults::disarm();
  if (ok != 1 || !p) return "allocation failed";
  if (made.size() != sizes.size()) return "asked for " + std::to_string(made.size()) + " blocks";
  for (std::size_t k = 0; k < sizes.size(); ++k)
    if (made[k].bytes != sizes[k]) return "block " + std::to_string(k) + " of " + std::to_string(made[k].bytes);
  auto block = [&](std::uint64_t k) { return address_of(made[k].block); };

  // Every index tuple in row order (last dimension fastest): where its element must lie.
  std::vector<T*> elements;
  std::string fault;
  auto expect = [&](bool holds, char const* what) {
    if (!holds && fault.empty()) fault = what;
  };
  std::array<std::uint64_t, 3> i{};
  for (std::uint64_t n = 0; n < len(0) * ncol * ndep; ++n) {
    for (std::size_t d = 0; d < D; ++d) i[d] = b[d][0] + n / (d == 0 ? ncol * ndep : d == 1 ? ndep : 1) % len(d);
    std::uint64_t const r = i[0] - b[0][0], c = D > 1 ? i[1] - b[1][0] : 0;
    T* element = nullptr;
    if constexpr (std::is_same_v<Pointer, T*>) element = &p[i[0]];
    if constexpr (std::is_same_v<Pointer, T**>) element = &p[i[0]][i[1]];
    if constexpr (std::is_same_v<Pointer, T***>) element = &p[i[0]][i[1]][i[2]];
    if (D == 1 || layout == NRLayout::Block) {
      expect(address_of(element) == block(D - 1) + (1 + n) * S, "element misplaced");
      if constexpr (!std::is_same_v<Pointer, T*>) expect(address_of(&p[i[0]]) == block(0) + (1 + r) * P, "row slot");
      if constexpr (std::is_same_v<Pointer, T***>)
        expect(address_of(&p[i[0]][i[1]]) == block(1) + (1 + r * ncol + c) * P, "column slot");
    } else {
      std::uint64_t const row_block = D == 2 ? 1 + r : 1 + r * (1 + ncol);
      expect(address_of(p) == block(0), "row pointers moved");
      if constexpr (std::is_same_v<Pointer, T**>) expect(address_of(p[i[0]]) == block(row_block), "row block");
      if constexpr (std::is_same_v<Pointer, T***>) {
        expect(address_of(p[i[0]]) == block(row_block), "column block");
        expect(address_of(p[i[0]][i[1]]) == block(row_block + 1 + c), "depth block");
      }
    }
    T zero{};
    expect(std::memcmp(element, &zero, S) == 0, "not zero");
    elements.push_back(element);
  }
  if constexpr (!std::is_same_v<Pointer, T*>) {
    if (layout == NRLayout::Segmented)
      for (std::uint32_t r = 0; r < b[0][0]; ++r) expect(p[r] == nullptr, "slot below the rows");
  }
  if (!fault.empty()) return fault;
  for (std::size_t n = 0; n < elements.size(); ++n) std::memset(elements[n], int(n % 251 + 1), S);
  for (std::size_t n = 0; n < elements.size(); ++n)
    for (std::size_t k = 0; k < S; ++k)
      if (reinterpret_cast<unsigned char const*>(elements[n])[k] != n % 251 + 1) return "element overwritten";

  // Released: the block layout's in the reverse order; the segmented rows up from the first,
  // each after the blocks below it, then the row pointers.
  std::vector<void const*> order;
  if (D == 1 || layout == NRLayout::Block) {
    for (std::size_t k = made.size(); k-- > 0;) order.push_back(made[k].block);
  } else {
    for (std::size_t k = 1; k < made.size(); k += D == 2 ? 1 : 1 + ncol) {
      for (std::uint64_t j = 1; D == 3 && j <= ncol; ++j) order.push_back(made[k + j].block);
      order.push_back(made[k].block);
    }
    order.push_back(made[0].block);
  }
  faults::count_only();
  release(p);
  Pointer const after = p;
  release(p);  // through null: nothing
  std::vector<faults::Event> const released = events(false);
  faults::disarm();
  if (after != nullptr) return "pointer left";
  if (released.size() != order.size()) return "released " + std::to_string(released.size()) + " blocks";
  for (std::size_t k = 0; k < order.size(); ++k)
    if (released[k].block != order[k]) return "released out of order at " + std::to_string(k);
  return "";
}

// The operations, one row per exported allocation and release pair, from the library's table.
struct NRRow {
  std::string name;
  std::size_t dimension;
  NRLayout layout;  // of small arrays, where the size decides
  std::size_t element_size;
  std::function<std::string(NRBounds const&)> check;
  // Allocates into a non-null pointer and releases again: 1, 0 with the pointer null, or -1
  // when a failure left the pointer set.
  std::function<int(NRBounds const&)> attempt;
};

template <class T, class Pointer, class Allocate, class Release>
NRRow nr_row(std::string name, bool segmented, Allocate allocate, Release release) {
  constexpr std::size_t D = std::is_same_v<Pointer, T*> ? 1 : std::is_same_v<Pointer, T**> ? 2 : 3;
  auto call = [](NRBounds const& b, Pointer& p, auto op) {
    if constexpr (D == 1) return op(p, b[0][0], b[0][1]);
    if constexpr (D == 2) return op(p, b[0][0], b[0][1], b[1][0], b[1][1]);
    if constexpr (D == 3) return op(p, b[0][0], b[0][1], b[1][0], b[1][1], b[2][0], b[2][1]);
  };
  auto drop = [release](Pointer& p, auto... b) {
    release(p, b...);
    return 0;
  };
  NRLayout const layout = segmented ? NRLayout::Segmented : NRLayout::Block;
  return {name, D, layout, sizeof(T),
          [=](NRBounds const& b) {
            return exercise<T, Pointer>([&](Pointer& p) { return call(b, p, allocate); },
                                        [&](Pointer& p) { call(b, p, drop); },
                                        b, layout);
          },
          [=](NRBounds const& b) {
            Pointer p = reinterpret_cast<Pointer>(std::uintptr_t{0x40});
            int const result = call(b, p, allocate);
            if (result == 1) call(b, p, drop);
            return result == 0 && p != nullptr ? -1 : result;
          }};
}

inline std::vector<NRRow> const& nr_rows() {
  static std::vector<NRRow> const all = [] {
    std::vector<NRRow> r;
#define VELLUM_TEST_NR_ROW(allocation, release_name, layout, dimension, T)                                  \
  r.push_back(nr_row<T, T VELLUM_NR_POINTER_##dimension>(                                                      \
      #allocation " " #T " " #dimension, std::string_view(#layout) == "Segmented",                           \
      [](auto& p, auto... b) { return allocation(p, b...); }, [](auto& p, auto... b) { release_name(p, b...); }));
#define VELLUM_TEST_NR_FAMILY(allocation, release, layout, dimension, types) \
  VELLUM_NR_EACH_TYPE(VELLUM_TEST_NR_ROW, allocation, release, layout, dimension, types)
    VELLUM_NR_ARRAY_OPERATIONS(VELLUM_TEST_NR_FAMILY)
#undef VELLUM_TEST_NR_FAMILY
#undef VELLUM_TEST_NR_ROW
    return r;
  }();
  return all;
}

}  // namespace vellum::test
