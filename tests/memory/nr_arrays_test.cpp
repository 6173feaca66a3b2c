#include <array>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/test_support.h"

namespace {

namespace faults = vellum::faults;

enum class Family { General, Block, Segmented };

template <class T, std::size_t D>
struct PointerTo {
  using type = typename PointerTo<T, D - 1>::type*;
};
template <class T>
struct PointerTo<T, 0> {
  using type = T;
};

using Range = std::array<std::uint32_t, 2>;  // low, high
template <std::size_t D>
using Bounds = std::array<Range, D>;
template <std::size_t D>
using Index = std::array<std::uint32_t, D>;

std::uintptr_t address(void const* p) { return reinterpret_cast<std::uintptr_t>(p); }
template <class Pointer>
Pointer not_null() {
  return reinterpret_cast<Pointer>(std::uintptr_t{0x40});
}

// One exported allocation / release pair: element type, dimension, family.
template <class Element, std::size_t Dimension, Family F>
struct Member {
  using T = Element;
  static constexpr std::size_t D = Dimension;
  using Pointer = typename PointerTo<T, D>::type;

  static int allocate(Pointer& p, Bounds<D> const& b) {
    return std::apply(
        [&](auto... bound) {
          if constexpr (F == Family::General) return NRAllocate(p, bound...);
          if constexpr (F == Family::Block) return BlockNRAllocate(p, bound...);
          if constexpr (F == Family::Segmented) return SegmentedNRAllocate(p, bound...);
        },
        flat(b));
  }
  static void release(Pointer& p, Bounds<D> const& b) {
    std::apply(
        [&](auto... bound) {
          if constexpr (F == Family::General) NRFree(p, bound...);
          if constexpr (F == Family::Block) BlockNRFree(p, bound...);
          if constexpr (F == Family::Segmented) SegmentedNRFree(p, bound...);
        },
        flat(b));
  }
  // The bounds as the operations take them: low and high of rows, columns, depth.
  static auto flat(Bounds<D> const& b) {
    return [&]<std::size_t... k>(std::index_sequence<k...>) {
      return std::tuple{b[k / 2][k % 2]...};
    }(std::make_index_sequence<2 * D>{});
  }
  // The layout the arrays of these tests get: their bounds are all small enough for the block
  // layout where the size decides.
  static constexpr bool segmented = F == Family::Segmented;
};

// The exported operations, as they are documented.
using Members = ::testing::Types<
    Member<unsigned char, 1, Family::General>, Member<int, 1, Family::General>,
    Member<unsigned long, 1, Family::General>, Member<float, 1, Family::General>,
    Member<double, 1, Family::General>, Member<DCOMPLEX, 1, Family::General>,
    Member<int, 2, Family::General>, Member<float, 2, Family::General>, Member<double, 2, Family::General>,
    Member<int, 2, Family::Block>, Member<float, 2, Family::Block>, Member<double, 2, Family::Block>,
    Member<int, 2, Family::Segmented>, Member<float, 2, Family::Segmented>,
    Member<double, 2, Family::Segmented>,
    Member<float, 3, Family::General>, Member<double, 3, Family::General>,
    Member<float, 3, Family::Block>, Member<double, 3, Family::Block>,
    Member<float, 3, Family::Segmented>, Member<double, 3, Family::Segmented>>;

// Bounds every layout takes, and bounds near the top of the index range, which only the block
// layout can serve (a segmented block reaches from index 0 to the high bound).
template <std::size_t D>
std::vector<Bounds<D>> bounds_for(bool segmented);
template <>
std::vector<Bounds<1>> bounds_for<1>(bool) {
  return {{{{1, 3}}}, {{{0, 2}}}, {{{5, 5}}}, {{{0, 0}}}, {{{0xFFFFFFFD, 0xFFFFFFFF}}},
          {{{0x7FFFFFFF, 0x80000001}}}};
}
template <>
std::vector<Bounds<2>> bounds_for<2>(bool segmented) {
  std::vector<Bounds<2>> b{{{{1, 3}, {1, 4}}}, {{{0, 1}, {0, 2}}}, {{{5, 6}, {7, 8}}}, {{{4, 4}, {9, 9}}},
                           {{{2, 4}, {0, 0}}}};
  if (!segmented) b.push_back({{{0xFFFFFFFE, 0xFFFFFFFF}, {0x80000000, 0x80000002}}});
  return b;
}
template <>
std::vector<Bounds<3>> bounds_for<3>(bool segmented) {
  std::vector<Bounds<3>> b{{{{1, 2}, {1, 3}, {1, 4}}}, {{{0, 1}, {0, 1}, {0, 1}}}, {{{3, 4}, {2, 2}, {7, 9}}},
                           {{{1, 2}, {1, 3}, {5, 5}}}};
  if (!segmented)
    b.push_back({{{0xFFFFFFFF, 0xFFFFFFFF}, {0x7FFFFFFF, 0x80000000}, {0xFFFFFFFE, 0xFFFFFFFF}}});
  return b;
}

template <std::size_t D>
std::uint64_t length(Bounds<D> const& b, std::size_t d) {
  return std::uint64_t{b[d][1]} - b[d][0] + 1;
}

// Calls `visit(index)` for every index tuple of the bounds, last dimension fastest.
template <std::size_t D, class Visit>
void for_each_index(Bounds<D> const& b, Visit visit) {
  Index<D> i;
  for (std::size_t d = 0; d < D; ++d) i[d] = b[d][0];
  for (;;) {
    visit(i);
    std::size_t d = D;
    while (d > 0 && i[d - 1] == b[d - 1][1]) {
      --d;
      i[d] = b[d][0];
    }
    if (d == 0) return;
    ++i[d - 1];
  }
}

// The element at an index tuple, reached as a caller reaches it.
template <class P, std::size_t D>
auto& element(P p, Index<D> const& i) {
  if constexpr (D == 1) return p[i[0]];
  if constexpr (D == 2) return p[i[0]][i[1]];
  if constexpr (D == 3) return p[i[0]][i[1]][i[2]];
}

template <class T>
T tagged(std::uint64_t k) {
  if constexpr (std::is_same_v<T, DCOMPLEX>) {
    return DCOMPLEX{static_cast<double>(k), -static_cast<double>(k)};
  } else {
    return static_cast<T>(k % 251 + 1);
  }
}
template <class T>
bool all_zero(T const& value) {
  T zero;
  std::memset(&zero, 0, sizeof zero);
  return std::memcmp(&value, &zero, sizeof value) == 0;
}
template <class T>
bool same(T const& a, T const& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

template <class M>
class NRArrays : public ::testing::Test {
 protected:
  void SetUp() override { before_ = faults::live_blocks(); }
  void TearDown() override {
    faults::disarm();
    EXPECT_EQ(faults::live_blocks(), before_) << "blocks left allocated";
  }
  std::int64_t before_ = 0;
};
TYPED_TEST_SUITE(NRArrays, Members);

// Block layout: every pointer level and the data are single blocks whose entries follow the
// index tuples in row order after one spare. Segmented: every block starts at index 0, entries
// below the low bound are null (pointers) or zero (elements).
template <class M>
void expect_layout(typename M::Pointer p, Bounds<M::D> const& b) {
  using T = typename M::T;
  constexpr std::size_t D = M::D;
  Index<D> low;
  for (std::size_t d = 0; d < D; ++d) low[d] = b[d][0];
  if constexpr (!M::segmented) {
    std::uintptr_t const data = address(&element(p, low)) - sizeof(T);
    EXPECT_TRUE(all_zero(*reinterpret_cast<T const*>(data))) << "data spare";
    if constexpr (D >= 2) {
      EXPECT_EQ((&p[low[0]])[-1], nullptr) << "row spare";
    }
    if constexpr (D == 3) {
      EXPECT_EQ((&p[low[0]][low[1]])[-1], nullptr) << "column spare";
    }
    std::uint64_t k = 0;
    for_each_index<D>(b, [&](Index<D> const& i) {
      ASSERT_EQ(address(&element(p, i)), data + (1 + k) * sizeof(T)) << "element " << k;
      if constexpr (D == 3) {
        std::uint64_t const column = (i[0] - low[0]) * length(b, 1) + (i[1] - low[1]);
        ASSERT_EQ(address(&p[i[0]][i[1]]), address(&p[low[0]][low[1]]) + column * sizeof(T*))
            << "column " << k;
      }
      ++k;
    });
  } else {
    for (std::uint32_t i = 0; i < low[0]; ++i) EXPECT_EQ(p[i], nullptr) << "row " << i;
    for (std::uint32_t i = low[0]; i <= b[0][1]; ++i) {
      if constexpr (D == 2) {
        for (std::uint32_t j = 0; j < low[1]; ++j) EXPECT_TRUE(all_zero(p[i][j])) << i << ", " << j;
      } else {
        for (std::uint32_t j = 0; j < low[1]; ++j) EXPECT_EQ(p[i][j], nullptr) << i << ", " << j;
        for (std::uint32_t j = low[1]; j <= b[1][1]; ++j)
          for (std::uint32_t k = 0; k < low[2]; ++k)
            EXPECT_TRUE(all_zero(p[i][j][k])) << i << ", " << j << ", " << k;
      }
    }
  }
}

TYPED_TEST(NRArrays, ReachEveryElementAtItsPlaceAndReleaseAll) {
  using M = TypeParam;
  using T = typename M::T;
  for (auto const& b : bounds_for<M::D>(M::segmented)) {
    SCOPED_TRACE(::testing::PrintToString(b));
    std::int64_t const before = faults::live_blocks();
    typename M::Pointer p = not_null<typename M::Pointer>();
    ASSERT_EQ(M::allocate(p, b), 1);
    ASSERT_NE(p, nullptr);
    expect_layout<M>(p, b);
    // Zero at first; then a value of its own in every element, all of which must survive.
    std::uint64_t k = 0;
    for_each_index<M::D>(b, [&](auto const& i) {
      EXPECT_TRUE(all_zero(element(p, i)));
      element(p, i) = tagged<T>(k++);
    });
    k = 0;
    for_each_index<M::D>(b, [&](auto const& i) { EXPECT_TRUE(same(element(p, i), tagged<T>(k++))); });

    M::release(p, b);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(faults::live_blocks(), before);
    faults::count_only();
    M::release(p, b);  // through null: nothing
    faults::disarm();
    EXPECT_EQ(faults::live_blocks(), before);
  }
}

TYPED_TEST(NRArrays, RefuseAnEmptyRangeInAnyDimensionBeforeAllocating) {
  using M = TypeParam;
  for (std::size_t d = 0; d < M::D; ++d) {
    for (Range empty : {Range{5, 4}, Range{0xFFFFFFFF, 0}}) {
      Bounds<M::D> b;
      b.fill(Range{2, 3});
      b[d] = empty;
      typename M::Pointer p = not_null<typename M::Pointer>();
      faults::count_only();
      EXPECT_EQ(M::allocate(p, b), 0) << "dimension " << d;
      EXPECT_EQ(faults::allocations_since_arm(), 0u) << "dimension " << d;
      faults::disarm();
      EXPECT_EQ(p, nullptr) << "dimension " << d;
    }
  }
}

// Fails the first, second, ... allocation until the call succeeds: every failing call returns 0
// with the pointer null and all it had allocated released, and it stops at the failure.
TYPED_TEST(NRArrays, LeaveNothingBehindWhereverMemoryRunsOut) {
  using M = TypeParam;
  Bounds<M::D> b;
  b[0] = {2, 4};
  if constexpr (M::D >= 2) b[1] = {1, 3};
  if constexpr (M::D >= 3) b[2] = {0, 1};
  // Block layout: one block per dimension. Segmented: the row pointers, then per row its block
  // (two dimensions) or its column pointers and a block per column (three).
  std::size_t const blocks = !M::segmented ? M::D : M::D == 2 ? 1 + 3 : 1 + 3 * (1 + 3);

  for (faults::Mode mode : {faults::Mode::Once, faults::Mode::Persistent}) {
    std::int64_t const before = faults::live_blocks();
    std::size_t failing = 0;
    for (std::size_t nth = 1; nth <= blocks + 1; ++nth) {
      typename M::Pointer p = not_null<typename M::Pointer>();
      int result;
      {
        faults::ScopedFailure failure(nth, mode);
        result = M::allocate(p, b);
        if (result == 0) {
          EXPECT_EQ(faults::allocations_since_arm(), nth) << "stops at the failure";
          EXPECT_EQ(faults::failures_since_arm(), 1u);
        }
      }
      if (result == 1) {
        M::release(p, b);
        EXPECT_EQ(faults::live_blocks(), before);
        break;
      }
      ++failing;
      EXPECT_EQ(result, 0);
      EXPECT_EQ(p, nullptr) << "failing allocation " << nth;
      EXPECT_EQ(faults::live_blocks(), before) << "failing allocation " << nth;
    }
    EXPECT_EQ(failing, blocks) << (mode == faults::Mode::Once ? "once" : "persistent");
  }
}

// Runs an allocation into a pointer that starts out non-null: its result, and whether it left the
// pointer null.
template <class Pointer, class Call>
std::pair<int, bool> run(Call call) {
  Pointer p = not_null<Pointer>();
  int result = call(p);
  return {result, p == nullptr};
}

// Allocations where sizes meet the limits, and how many blocks each asks for. A block whose byte
// count does not fit 32 bits is never asked for. The operations that choose by size take the
// segmented layout from the threshold on, where the first block asked for (row pointers up to the
// high row bound) is already too large, and the block layout below it, whose data block (close
// to 4 GiB) is made to fail: `fail` is the allocation that fails, and all after it.
TEST(NRArrayLimits, OversizedBlocksFailAndTheSizeDecidesTheLayout) {
  constexpr std::uint32_t kR = 0x7FFFFFFF;  // rows kR..kR + 1: segmented row pointers up to 2^31
  struct Case {
    char const* what;
    std::size_t fail;
    std::size_t attempts;
    std::pair<int, bool> (*allocate)();
  };
  Case const cases[] = {
      {"2^32 + 1 bytes", 1, 0,
       [] { return run<unsigned char*>([](auto& p) { return NRAllocate(p, 0, 0xFFFFFFFF); }); }},
      {"0x20000001 doubles", 1, 0,
       [] { return run<double*>([](auto& p) { return NRAllocate(p, 1, 0x20000000); }); }},
      {"65536 x 65536 ints, n wraps to 1: block", 2, 1,
       [] { return run<int**>([](auto& p) { return NRAllocate(p, 1, 65536, 1, 65536); }); }},
      {"65536 x 65536 floats in the block layout", 2, 1,
       [] { return run<float**>([](auto& p) { return BlockNRAllocate(p, 1, 65536, 1, 65536); }); }},
      {"segmented rows up to 2^32 - 1", 1, 0,
       [] { return run<float**>([](auto& p) { return SegmentedNRAllocate(p, 0, 0xFFFFFFFF, 1, 1); }); }},
      {"ints, n = 0x3FFFFFFF: segmented", 2, 0,
       [] { return run<int**>([](auto& p) { return NRAllocate(p, kR, kR + 1, 1, 0x1FFFFFFF); }); }},
      {"ints, n = 0x3FFFFFFD: block", 2, 2,
       [] { return run<int**>([](auto& p) { return NRAllocate(p, kR, kR + 1, 1, 0x1FFFFFFE); }); }},
      {"doubles, n = 0x1FFFFFFF: segmented", 2, 0,
       [] { return run<double**>([](auto& p) { return NRAllocate(p, kR, kR + 1, 1, 0x0FFFFFFF); }); }},
      {"doubles, n = 0x1FFFFFFD: block", 2, 2,
       [] { return run<double**>([](auto& p) { return NRAllocate(p, kR, kR + 1, 1, 0x0FFFFFFE); }); }},
      {"floats, n = 0x3FFFFFFF: segmented", 3, 0,
       [] { return run<float***>([](auto& p) { return NRAllocate(p, kR, kR + 1, 1, 1, 1, 0x1FFFFFFF); }); }},
      {"doubles, n = 0x1FFFFFFF: segmented", 3, 0,
       [] { return run<double***>([](auto& p) { return NRAllocate(p, kR, kR + 1, 1, 1, 1, 0x0FFFFFFF); }); }},
      {"floats, n = 0x1FFFFFFF: block", 3, 3,
       [] { return run<float***>([](auto& p) { return NRAllocate(p, kR, kR + 1, 1, 1, 1, 0x0FFFFFFF); }); }},
  };
  std::int64_t const before = faults::live_blocks();
  for (Case const& c : cases) {
    std::pair<int, bool> outcome;
    std::size_t attempts;
    {
      faults::ScopedFailure failure(c.fail, faults::Mode::Persistent);
      outcome = c.allocate();
      attempts = faults::allocations_since_arm();
    }
    EXPECT_EQ(outcome.first, 0) << c.what;
    EXPECT_TRUE(outcome.second) << c.what;
    EXPECT_EQ(attempts, c.attempts) << c.what;
    EXPECT_EQ(faults::live_blocks(), before) << c.what;
  }
}

}  // namespace
