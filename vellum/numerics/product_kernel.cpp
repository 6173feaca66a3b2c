#include <vellum/numerics/product_kernel.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace vellum::numerics {

namespace {

// GCC's generic vectors: arithmetic on them compiles to the widest instructions of the function
// it ends up in, so one template serves every instruction set. A scalar operand of * is
// broadcast to every lane.
typedef double F64x2 __attribute__((vector_size(16)));
typedef double F64x4 __attribute__((vector_size(32)));
typedef double F64x8 __attribute__((vector_size(64)));

#if defined(__i386__) || defined(__x86_64__)
#  define VELLUM_X86 1
#  define VELLUM_TARGET(isa) __attribute__((target(isa)))
#else
#  define VELLUM_X86 0
#  define VELLUM_TARGET(isa)
#endif

template <class Vec, int MV, int NR>
struct Tile {
  using Vector = Vec;
  static constexpr int kLanes = static_cast<int>(sizeof(Vec) / sizeof(double));
  static constexpr int kVectors = MV;   // vectors down a column of the tile
  static constexpr int kRows = MV * kLanes;
  static constexpr int kCols = NR;
};

// The register tile of each variant. The accumulators, the vectors of A, one broadcast element
// of B and one product must fit the register file: 16 registers in 64-bit code (32 with
// AVX-512), only 8 in 32-bit code.
#if UINTPTR_MAX > 0xFFFFFFFFu
using Sse2Tile = Tile<F64x2, 2, 6>;    // 12 accumulators + 2 + 1 + 1 = 16
using Avx2Tile = Tile<F64x4, 2, 6>;    // 12 + 2 + 1 + 1 = 16
using Avx512Tile = Tile<F64x8, 3, 8>;  // 24 + 3 + 1 + 1 = 29 of 32
#else
using Sse2Tile = Tile<F64x2, 1, 6>;    // 6 + 1 + 1 = 8 (the product overwrites the broadcast)
using Avx2Tile = Tile<F64x4, 1, 6>;
using Avx512Tile = Tile<F64x8, 1, 6>;
#endif

// Depth of a block of p: a packed column panel of B (kc x tile columns) stays in the L1 cache
// while every row panel of the packed A block (mc x kc, L2) streams past it.
constexpr int kDepth = 256;
constexpr int kBlockRows = 192;
constexpr int kBlockCols = 2048;
// The stack blocks of the fallback: one row panel of A and one column panel of B of the largest
// tile, kStackDepth deep (16 KiB in 64-bit code).
constexpr int kStackDepth = 64;

constexpr int round_up(int value, int step) noexcept { return (value + step - 1) / step * step; }
constexpr int smaller(int a, int b) noexcept { return a < b ? a : b; }
constexpr int larger(int a, int b) noexcept { return a < b ? b : a; }
constexpr int kMaxTileRows = larger(Sse2Tile::kRows, larger(Avx2Tile::kRows, Avx512Tile::kRows));
constexpr int kMaxTileCols = larger(Sse2Tile::kCols, larger(Avx2Tile::kCols, Avx512Tile::kCols));

// Rows ic .. ic+mc-1 and depth pc .. pc+kc-1 of A, as row panels of R rows: panel by panel,
// then p by p, R consecutive rows. Rows past n, and all of an absent A, are zeros.
template <int R>
void pack_a(ProductOperands const& o, int ic, int mc, int pc, int kc, double* out) noexcept {
  for (int ir = 0; ir < mc; ir += R) {
    int rows = smaller(R, mc - ir);
    for (int p = 0; p < kc; ++p, out += R) {
      int r = 0;
      if (o.a) {
        double const* column = o.a + (pc + p) * o.lda + ic + ir;
        for (; r < rows; ++r) out[r] = column[r];
      }
      for (; r < R; ++r) out[r] = 0.0;
    }
  }
}

// Depth pc .. pc+kc-1 and columns jc .. jc+nc-1 of B, as column panels of C columns: panel by
// panel, then p by p, C consecutive columns. Columns past m, and all of an absent B, are zeros.
template <int C>
void pack_b(ProductOperands const& o, int pc, int kc, int jc, int nc, double* out) noexcept {
  for (int jr = 0; jr < nc; jr += C, out += C * kc) {
    int cols = smaller(C, nc - jr);
    int j = 0;
    if (o.b) {
      for (; j < cols; ++j) {
        double const* column = o.b + (jc + jr + j) * o.ldb + pc;
        for (int p = 0; p < kc; ++p) out[p * C + j] = column[p];
      }
    }
    for (; j < C; ++j)
      for (int p = 0; p < kc; ++p) out[p * C + j] = 0.0;
  }
}

// One register tile: C[0..R) x [0..C) continues its sums over kc more values of p (or starts
// them from +0.0 when `first`). Lanes run down the rows; nothing is added across lanes.
template <class T>
[[gnu::always_inline]] inline void tile_sums(int kc, double const* __restrict a, double const* __restrict b,
                                             double* __restrict c, std::ptrdiff_t ldc, bool first) noexcept {
  using Vec = typename T::Vector;
  constexpr int L = T::kLanes;
  constexpr int MV = T::kVectors;
  constexpr int NR = T::kCols;
  Vec acc[NR][MV];
#pragma GCC unroll 16
  for (int j = 0; j < NR; ++j)
#pragma GCC unroll 4
    for (int v = 0; v < MV; ++v) {
      if (first)
        acc[j][v] = Vec{};
      else
        std::memcpy(&acc[j][v], c + j * ldc + v * L, sizeof(Vec));
    }
  for (int p = 0; p < kc; ++p, a += T::kRows, b += NR) {
    Vec column[MV];
#pragma GCC unroll 4
    for (int v = 0; v < MV; ++v) std::memcpy(&column[v], a + v * L, sizeof(Vec));
#pragma GCC unroll 16
    for (int j = 0; j < NR; ++j) {
      double element = b[j];
#pragma GCC unroll 4
      for (int v = 0; v < MV; ++v) acc[j][v] = acc[j][v] + column[v] * element;
    }
  }
#pragma GCC unroll 16
  for (int j = 0; j < NR; ++j)
#pragma GCC unroll 4
    for (int v = 0; v < MV; ++v) std::memcpy(c + j * ldc + v * L, &acc[j][v], sizeof(Vec));
}

// A tile cut by the edge of C: computed in full (the packed padding is zeros) into a local
// tile, of which only the part inside C is read and written back.
template <class T>
[[gnu::always_inline]] inline void edge_tile_sums(int kc, double const* a, double const* b, double* c,
                                                  std::ptrdiff_t ldc, bool first, int rows, int cols) noexcept {
  alignas(64) double local[T::kRows * T::kCols] = {};
  if (!first)
    for (int j = 0; j < cols; ++j) std::memcpy(local + j * T::kRows, c + j * ldc, rows * sizeof(double));
  tile_sums<T>(kc, a, b, local, T::kRows, first);
  for (int j = 0; j < cols; ++j) std::memcpy(c + j * ldc, local + j * T::kRows, rows * sizeof(double));
}

// The blocked product over packing buffers of (mc rounded up) x kc and kc x (nc rounded up).
template <class T>
[[gnu::always_inline]] inline void blocked_product(ProductOperands const& o, ProductBlocking bl, double* a_pack,
                                                   double* b_pack) noexcept {
  std::ptrdiff_t const ldc = o.n;
  for (int jc = 0; jc < o.m; jc += bl.nc) {
    int nc = smaller(bl.nc, o.m - jc);
    for (int pc = 0; pc < o.k; pc += bl.kc) {
      int kc = smaller(bl.kc, o.k - pc);
      bool first = pc == 0;
      pack_b<T::kCols>(o, pc, kc, jc, nc, b_pack);
      for (int ic = 0; ic < o.n; ic += bl.mc) {
        int mc = smaller(bl.mc, o.n - ic);
        pack_a<T::kRows>(o, ic, mc, pc, kc, a_pack);
        for (int jr = 0; jr < nc; jr += T::kCols) {
          int cols = smaller(T::kCols, nc - jr);
          double const* b_panel = b_pack + static_cast<std::ptrdiff_t>(jr) * kc;
          for (int ir = 0; ir < mc; ir += T::kRows) {
            int rows = smaller(T::kRows, mc - ir);
            double const* a_panel = a_pack + static_cast<std::ptrdiff_t>(ir) * kc;
            double* c_tile = o.c + (jc + jr) * ldc + ic + ir;
            if (rows == T::kRows && cols == T::kCols)
              tile_sums<T>(kc, a_panel, b_panel, c_tile, ldc, first);
            else
              edge_tile_sums<T>(kc, a_panel, b_panel, c_tile, ldc, first, rows, cols);
          }
        }
      }
    }
  }
}

using BlockedProduct = void (*)(ProductOperands const&, ProductBlocking, double*, double*) noexcept;

VELLUM_TARGET("sse2")
void sse2_product(ProductOperands const& o, ProductBlocking bl, double* a_pack, double* b_pack) noexcept {
  blocked_product<Sse2Tile>(o, bl, a_pack, b_pack);
}
#if VELLUM_X86
VELLUM_TARGET("avx2")
void avx2_product(ProductOperands const& o, ProductBlocking bl, double* a_pack, double* b_pack) noexcept {
  blocked_product<Avx2Tile>(o, bl, a_pack, b_pack);
}
VELLUM_TARGET("avx512f")
void avx512_product(ProductOperands const& o, ProductBlocking bl, double* a_pack, double* b_pack) noexcept {
  blocked_product<Avx512Tile>(o, bl, a_pack, b_pack);
}
#endif

struct Variant {
  BlockedProduct run;
  int rows;
  int cols;
};

template <class T>
constexpr Variant variant_of(BlockedProduct run) noexcept {
  return {run, T::kRows, T::kCols};
}

Variant variant(ProductIsa isa) noexcept {
  switch (isa) {
#if VELLUM_X86
    case ProductIsa::Avx512:
      return variant_of<Avx512Tile>(avx512_product);
    case ProductIsa::Avx2:
      return variant_of<Avx2Tile>(avx2_product);
#endif
    default:
      return variant_of<Sse2Tile>(sse2_product);
  }
}

// With only 8 registers (32-bit code) the AVX-512 tile is no wider in columns than the AVX2
// one, and on CPUs that split 512-bit operations in two halves it measured slower; with 32
// registers (64-bit code) its larger tile wins.
ProductIsa choose_best() noexcept {
  constexpr bool kFewRegisters = UINTPTR_MAX == 0xFFFFFFFFu;
  ProductIsa const preference[] = {kFewRegisters ? ProductIsa::Avx2 : ProductIsa::Avx512,
                                   kFewRegisters ? ProductIsa::Avx512 : ProductIsa::Avx2};
  for (ProductIsa isa : preference)
    if (product_isa_runs(isa)) return isa;
  return ProductIsa::Sse2;
}

struct AlignedBlock {
  static constexpr std::align_val_t kAlignment{64};
  explicit AlignedBlock(std::size_t doubles) noexcept
      : data(static_cast<double*>(::operator new(doubles * sizeof(double), kAlignment, std::nothrow))) {}
  ~AlignedBlock() {
    if (data) ::operator delete(data, kAlignment);
  }
  AlignedBlock(AlignedBlock const&) = delete;
  AlignedBlock& operator=(AlignedBlock const&) = delete;
  double* data;
};

}  // namespace

bool product_isa_runs(ProductIsa isa) noexcept {
#if VELLUM_X86
  __builtin_cpu_init();
  switch (isa) {
    case ProductIsa::Avx512:
      return __builtin_cpu_supports("avx512f");
    case ProductIsa::Avx2:
      return __builtin_cpu_supports("avx2");
    case ProductIsa::Sse2:
      return true;
  }
  return false;
#else
  return isa == ProductIsa::Sse2;
#endif
}

ProductIsa best_product_isa() noexcept {
  // Chosen once; a race between first calls stores the same answer twice.
  static constinit int chosen = -1;
  int isa = __atomic_load_n(&chosen, __ATOMIC_RELAXED);
  if (isa < 0) {
    isa = static_cast<int>(choose_best());
    __atomic_store_n(&chosen, isa, __ATOMIC_RELAXED);
  }
  return static_cast<ProductIsa>(isa);
}

int product_tile_rows(ProductIsa isa) noexcept { return variant(isa).rows; }
int product_tile_cols(ProductIsa isa) noexcept { return variant(isa).cols; }

void multiply(ProductOperands const& o, ProductIsa isa, ProductBlocking bl, ProductPacking packing) noexcept {
  if (o.n <= 0 || o.m <= 0) return;
  if (o.k <= 0) {
    for (std::ptrdiff_t e = 0, cells = static_cast<std::ptrdiff_t>(o.n) * o.m; e < cells; ++e) o.c[e] = 0.0;
    return;
  }
  Variant const v = variant(isa);
  if (packing == ProductPacking::Heap) {
    bl.kc = smaller(bl.kc > 0 ? bl.kc : kDepth, o.k);
    bl.mc = round_up(smaller(bl.mc > 0 ? bl.mc : kBlockRows, o.n), v.rows);
    bl.nc = round_up(smaller(bl.nc > 0 ? bl.nc : kBlockCols, o.m), v.cols);
    std::size_t a_doubles = static_cast<std::size_t>(bl.mc) * static_cast<std::size_t>(bl.kc);
    std::size_t b_doubles = static_cast<std::size_t>(bl.nc) * static_cast<std::size_t>(bl.kc);
    AlignedBlock block(a_doubles + b_doubles);
    if (block.data) {
      v.run(o, bl, block.data, block.data + a_doubles);
      return;
    }
  }
  alignas(64) double a_pack[kMaxTileRows * kStackDepth];
  alignas(64) double b_pack[kMaxTileCols * kStackDepth];
  v.run(o, {v.rows, smaller(kStackDepth, o.k), v.cols}, a_pack, b_pack);
}

void multiply(ProductOperands const& operands) noexcept { multiply(operands, best_product_isa()); }

}  // namespace vellum::numerics
