// The offset-array operations, one row per family, and the pieces their declarations are made of.
//
// No include guard: the header that includes this one undefines its macros once it is done with
// them, so that a pack sees none; a source that generates code from the table includes this
// header again.

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
  VELLUM_NR_EACH_(X, allocation, release, layout, dimension, VELLUM_NR_UNPAREN types)

#define VELLUM_NR_UNPAREN(...) __VA_ARGS__

#define VELLUM_NR_EACH_(X, a, r, l, d, ...) \
  VELLUM_NR_PICK(__VA_ARGS__, 6, 5, 4, 3, 2, 1, )(X, a, r, l, d, __VA_ARGS__)

#define VELLUM_NR_PICK(t1, t2, t3, t4, t5, t6, n, ...) VELLUM_NR_EACH_##n

#define VELLUM_NR_EACH_1(X, a, r, l, d, T) X(a, r, l, d, T)

#define VELLUM_NR_EACH_2(X, a, r, l, d, T, ...) X(a, r, l, d, T) VELLUM_NR_EACH_1(X, a, r, l, d, __VA_ARGS__)

#define VELLUM_NR_EACH_3(X, a, r, l, d, T, ...) X(a, r, l, d, T) VELLUM_NR_EACH_2(X, a, r, l, d, __VA_ARGS__)

#define VELLUM_NR_EACH_4(X, a, r, l, d, T, ...) X(a, r, l, d, T) VELLUM_NR_EACH_3(X, a, r, l, d, __VA_ARGS__)

#define VELLUM_NR_EACH_5(X, a, r, l, d, T, ...) X(a, r, l, d, T) VELLUM_NR_EACH_4(X, a, r, l, d, __VA_ARGS__)

#define VELLUM_NR_EACH_6(X, a, r, l, d, T, ...) X(a, r, l, d, T) VELLUM_NR_EACH_5(X, a, r, l, d, __VA_ARGS__)

// The caller's pointer and the bounds by dimension.
#define VELLUM_NR_POINTER_1 *

#define VELLUM_NR_POINTER_2 **

#define VELLUM_NR_POINTER_3 ***

#define VELLUM_NR_BOUNDS_1 std::uint32_t lo, std::uint32_t hi

#define VELLUM_NR_BOUNDS_2 std::uint32_t rlo, std::uint32_t rhi, std::uint32_t clo, std::uint32_t chi

#define VELLUM_NR_BOUNDS_3                                                                  \
  std::uint32_t rlo, std::uint32_t rhi, std::uint32_t clo, std::uint32_t chi, std::uint32_t dlo, \
      std::uint32_t dhi
