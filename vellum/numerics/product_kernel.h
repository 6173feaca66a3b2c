// The engine behind MMprod: C = A * B on column-major arrays, exact in the order of its sums.
//
// Every C(i, j) is ((+0.0 + A(i,0)B(0,j)) + A(i,1)B(1,j)) + ..., each product rounded before it
// is added. Within that rule the engine is free to choose which elements it computes together:
// vector lanes run across rows i, a register tile covers several columns j, and the p range is
// cut into blocks whose partial sums are carried on in C from one block to the next. Packed
// copies of A and B blocks (zero-padded to whole tiles) keep the inner loop on contiguous data.
//
// One variant per instruction set, all giving identical bits; the best one the CPU runs is
// chosen at first use. Internal to the library: the tests compile this file into themselves to
// reach every variant.
#pragma once

#include <cstddef>

namespace vellum::numerics {

struct ProductOperands {
  int n;                  // rows of A and C
  int m;                  // columns of B and C
  int k;                  // columns of A, rows of B
  double const* a;        // null: A reads as zeros
  std::ptrdiff_t lda;
  double const* b;        // null: B reads as zeros
  std::ptrdiff_t ldb;
  double* c;              // n x m, leading dimension n; never read before it is written
};

enum class ProductIsa { Sse2, Avx2, Avx512 };
inline constexpr ProductIsa kProductIsas[] = {ProductIsa::Sse2, ProductIsa::Avx2, ProductIsa::Avx512};

// Cache blocking: rows of A per packed block, the depth of a block of p, columns of B per packed
// block. Zeros take the variant's own; mc and nc are rounded up to whole register tiles.
struct ProductBlocking {
  int mc = 0;
  int kc = 0;
  int nc = 0;
};

// Where the packed blocks live. Heap: one block from operator new, and when that cannot be had,
// small blocks on the stack (slower, never fails). Stack: the stack blocks only.
enum class ProductPacking { Heap, Stack };

bool product_isa_runs(ProductIsa isa) noexcept;
ProductIsa best_product_isa() noexcept;
// Register tile of a variant, rows x columns.
int product_tile_rows(ProductIsa isa) noexcept;
int product_tile_cols(ProductIsa isa) noexcept;

// C = A * B with the given variant, which the CPU must run.
void multiply(ProductOperands const& operands, ProductIsa isa, ProductBlocking blocking = {},
              ProductPacking packing = ProductPacking::Heap) noexcept;
// The same with the best variant.
void multiply(ProductOperands const& operands) noexcept;

}  // namespace vellum::numerics
