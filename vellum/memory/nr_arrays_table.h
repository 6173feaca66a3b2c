// The offset-array operations, one row per family, and the pieces their declarations are made of.
//
// No include guard: a table is undefined after use and included again where code is generated
// from it ("Big tables as data" in docs/architecture.md).

#include <vellum/library/macro_helpers.h>

// The operations, one row per family: allocation, release, layout, dimension, element types.
// One dimension has the one layout, a single block.
#define VELLUM_NR_ARRAY_OPERATIONS(X)                                                          \
  X(NRAllocate,          NRFree,          Block,     1, (unsigned char, int, unsigned long,     \
                                                          float, double, DCOMPLEX))             \
  X(NRAllocate,          NRFree,          BySize,    2, (int, float, double))                   \
  X(BlockNRAllocate,     BlockNRFree,     Block,     2, (int, float, double))                   \
  X(SegmentedNRAllocate, SegmentedNRFree, Segmented, 2, (int, float, double))                   \
  X(NRAllocate,          NRFree,          BySize,    3, (float, double))                        \
  X(BlockNRAllocate,     BlockNRFree,     Block,     3, (float, double))                        \
  X(SegmentedNRAllocate, SegmentedNRFree, Segmented, 3, (float, double))

// A family row as one X(allocation, release, layout, dimension, element type) per element type.
#define VELLUM_NR_EACH_TYPE(X, allocation, release, layout, dimension, types) \
  VELLUM_FOR_EACH(VELLUM_NR_ONE_TYPE, (X, allocation, release, layout, dimension), VELLUM_UNPAREN types)
#define VELLUM_NR_ONE_TYPE(row, T) VELLUM_NR_CALL(VELLUM_NR_APPLY, (VELLUM_UNPAREN row, T))
#define VELLUM_NR_CALL(M, arguments) M arguments
#define VELLUM_NR_APPLY(X, allocation, release, layout, dimension, T) X(allocation, release, layout, dimension, T)

// The caller's pointer and the bounds by dimension.
#define VELLUM_NR_POINTER_1 *
#define VELLUM_NR_POINTER_2 **
#define VELLUM_NR_POINTER_3 ***
#define VELLUM_NR_BOUNDS_1 std::uint32_t lo, std::uint32_t hi
#define VELLUM_NR_BOUNDS_2 std::uint32_t rlo, std::uint32_t rhi, std::uint32_t clo, std::uint32_t chi
#define VELLUM_NR_BOUNDS_3                                                                  \
  std::uint32_t rlo, std::uint32_t rhi, std::uint32_t clo, std::uint32_t chi, std::uint32_t dlo, \
      std::uint32_t dhi
