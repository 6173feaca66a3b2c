#include <vellum/memory/nr_arrays.h>

#include <vellum/memory/blocks.h>
#include <vellum/memory/nr_layout.h>

// The table again: the header above undefined it once it had declared what it generates.
#include <vellum/memory/nr_arrays_table.h>

// Every exported operation is one instance of the generic allocation or release below, for its
// element type, dimension and layout. Handed-out pointers lie outside their blocks by design, so
// they are computed as integers and only blocks' own addresses are ever used as pointers here.

namespace vellum::nr {

Layout choose_layout(std::size_t element_size, std::span<Range const> ranges) {
  std::uint32_t n = 1;
  for (Range r : ranges) n *= r.hi - r.lo + 1;  // wrapping 32-bit arithmetic throughout
  n += 1;
  return n >= UINT32_MAX / element_size ? Layout::Segmented : Layout::Block;
}

namespace {

// T with R levels of pointers: T, T*, T**, T***. A block of an R-dimensional array's level holds
// entries of type Array<T, R - 1>.
template <class T, std::size_t R>
struct ArrayOf {
  using type = typename ArrayOf<T, R - 1>::type*;
};
template <class T>
struct ArrayOf<T, 0> {
  using type = T;
};
template <class T, std::size_t R>
using Array = typename ArrayOf<T, R>::type;

std::uintptr_t address(void const* block) { return reinterpret_cast<std::uintptr_t>(block); }

template <class Pointer>
Pointer pointer_at(std::uintptr_t where) {
  return reinterpret_cast<Pointer>(where);
}

// The address lo - 1 entries of `size` bytes before `block`, in wrapping integer arithmetic:
// index lo then falls on the block's second entry.
std::uintptr_t moved_back(std::uintptr_t block, std::uint32_t lo, std::size_t size) {
  return block + size - std::uintptr_t{lo} * size;
}
std::uintptr_t moved_forward(std::uintptr_t handed, std::uint32_t lo, std::size_t size) {
  return handed - size + std::uintptr_t{lo} * size;
}

// A zero-filled block of `count` entries; null when memory is exhausted or when its byte count
// does not fit VellumAllocate's 32-bit size (it is then not even asked).
template <class Entry>
Entry* obtain(std::uint64_t count) {
  if (count > UINT32_MAX / sizeof(Entry)) return nullptr;
  return static_cast<Entry*>(VellumAllocate(static_cast<std::uint32_t>(count * sizeof(Entry))));
}

template <std::size_t D>
bool any_empty(Ranges<D> const& ranges) {
  for (Range r : ranges)
    if (r.empty()) return true;
  return false;
}

// ---- Block layout: one block per level, level d holding one entry per index tuple of
// dimensions 0..d after its spare.

// Allocates level d's block (its address into made[d]) and points the `outer` entries of the
// level above into it, each `length` entries after the one before; then the levels below.
template <class T, std::size_t D, std::size_t d = 0>
bool build_blocks(Array<T, D - d>* above, std::uint64_t outer, Ranges<D> const& ranges, void* (&made)[D]) {
  using Entry = Array<T, D - 1 - d>;
  std::uint64_t const length = ranges[d].length();
  // No overflow: `outer` entries fit the level above's block, so fewer than 2^32, and a length is
  // at most 2^32.
  std::uint64_t const count = outer * length;
  Entry* block = obtain<Entry>(count + 1);
  if (!block) return false;
  made[d] = block;
  if constexpr (d > 0) {
    std::uintptr_t const first = moved_back(address(block), ranges[d].lo, sizeof(Entry));
    auto const stride = static_cast<std::uintptr_t>(length * sizeof(Entry));
    for (std::uint64_t k = 0; k < outer; ++k)
      above[1 + k] = pointer_at<Entry*>(first + static_cast<std::uintptr_t>(k) * stride);
  }
  if constexpr (d + 1 < D) return build_blocks<T, D, d + 1>(block, count, ranges, made);
  return true;
}

template <class T, std::size_t D>
int allocate_blocks(Array<T, D>& array, Ranges<D> const& ranges) {
  void* made[D] = {};
  if (!build_blocks<T, D>(nullptr, 1, ranges, made)) {
    for (std::size_t d = D; d-- > 0;) VellumFree(made[d]);
    return 0;
  }
  array = pointer_at<Array<T, D>>(moved_back(address(made[0]), ranges[0].lo, sizeof(Array<T, D - 1>)));
  return 1;
}

// Finds level d's block from the pointer handed out for it, then the levels below through the
// entry for the first index; false when a pointer on the way is null.
template <class T, std::size_t D, std::size_t d = 0>
bool find_blocks(Array<T, D - d> handed, Ranges<D> const& ranges, void* (&found)[D]) {
  using Entry = Array<T, D - 1 - d>;
  if (!handed) return false;
  auto* block = pointer_at<Entry*>(moved_forward(address(handed), ranges[d].lo, sizeof(Entry)));
  found[d] = block;
  if constexpr (d + 1 < D) return find_blocks<T, D, d + 1>(block[1], ranges, found);
  return true;
}

// Data first, then the pointer blocks inward out; nothing when a level cannot be found.
template <class T, std::size_t D>
void release_blocks(Array<T, D> array, Ranges<D> const& ranges) {
  void* found[D] = {};
  if (!find_blocks<T, D>(array, ranges, found)) return;
  for (std::size_t d = D; d-- > 0;) VellumFree(found[d]);
}

// ---- Segmented layout: a block of hi + 1 entries per index of the level above, unmoved.

// A release goes up the indices; a failed allocation unwinds, from the failing index back down
// to the low bound.
enum class Order { Up, Down };

// The blocks below every index of `block` (null slots have none), then `block` itself.
template <class T, std::size_t R>
void drop_segment(Array<T, R> block, Range const* ranges, Order order = Order::Up) {
  if (!block) return;
  if constexpr (R > 1) {
    for (std::uint64_t k = 0; k < ranges->length(); ++k) {
      std::uint64_t const i = order == Order::Up ? ranges->lo + k : ranges->hi - k;
      drop_segment<T, R - 1>(block[i], ranges + 1, order);
    }
  }
  VellumFree(block);
}

// A block for the first of `ranges` and, below each of its indices, the blocks of the rest; on
// failure whatever was made is unwound (slots not yet set are null) and null returned.
template <class T, std::size_t R>
Array<T, R> make_segment(Range const* ranges) {
  using Entry = Array<T, R - 1>;
  Entry* block = obtain<Entry>(std::uint64_t{ranges->hi} + 1);
  if (!block) return nullptr;
  if constexpr (R > 1) {
    for (std::uint64_t i = ranges->lo; i <= ranges->hi; ++i) {
      block[i] = make_segment<T, R - 1>(ranges + 1);
      if (!block[i]) {
        drop_segment<T, R>(block, ranges, Order::Down);
        return nullptr;
      }
    }
  }
  return block;
}

// ---- The exported operations' common rules.

template <Layout L, class T, std::size_t D>
Layout resolve(Ranges<D> const& ranges) {
  if constexpr (L == Layout::BySize) {
    return choose_layout(sizeof(T), ranges);
  } else {
    return L;
  }
}

template <Layout L, class T, std::size_t D>
int allocate(Array<T, D>& array, Ranges<D> const& ranges) {
  array = nullptr;
  if (any_empty(ranges)) return 0;
  if (resolve<L, T>(ranges) == Layout::Block) return allocate_blocks<T, D>(array, ranges);
  array = make_segment<T, D>(ranges.data());
  return array ? 1 : 0;
}

template <Layout L, class T, std::size_t D>
void release(Array<T, D>& array, Ranges<D> const& ranges) {
  if (resolve<L, T>(ranges) == Layout::Block) {
    release_blocks<T, D>(array, ranges);
  } else {
    drop_segment<T, D>(array, ranges.data());
  }
  array = nullptr;
}

}  // namespace
}  // namespace vellum::nr

#define VELLUM_NR_RANGES_1 {lo, hi}
#define VELLUM_NR_RANGES_2 {rlo, rhi}, {clo, chi}
#define VELLUM_NR_RANGES_3 {rlo, rhi}, {clo, chi}, {dlo, dhi}

#define VELLUM_NR_DEFINE(allocation, release_name, layout, dimension, T)                              \
  int allocation(T VELLUM_NR_POINTER_##dimension& array, VELLUM_NR_BOUNDS_##dimension) {              \
    return vellum::nr::allocate<vellum::nr::Layout::layout, T, dimension>(                            \
        array, vellum::nr::Ranges<dimension>{{VELLUM_NR_RANGES_##dimension}});                        \
  }                                                                                                   \
  void release_name(T VELLUM_NR_POINTER_##dimension& array, VELLUM_NR_BOUNDS_##dimension) {           \
    vellum::nr::release<vellum::nr::Layout::layout, T, dimension>(                                    \
        array, vellum::nr::Ranges<dimension>{{VELLUM_NR_RANGES_##dimension}});                        \
  }
#define VELLUM_NR_DEFINE_ROW(allocation, release_name, layout, dimension, types) \
  VELLUM_NR_EACH_TYPE(VELLUM_NR_DEFINE, allocation, release_name, layout, dimension, types)

VELLUM_NR_ARRAY_OPERATIONS(VELLUM_NR_DEFINE_ROW)
