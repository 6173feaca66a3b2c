// The product engine against the plain i-j-p loop, bit for bit, in every variant the CPU runs:
// shapes that are no multiple of a tile, blockings that cut every dimension into blocks, both
// kinds of packing storage, and absent operands. Operands and result end at a fence, so that a
// panel reaching past an edge stops the program; padding rows hold a conspicuous value.
#include <vellum/numerics/product_kernel.h>

#include "tests/numerics/matrices.h"

namespace {

using namespace vellum::numerics;
using vellum::test::fenced_array;

struct Operand {
  int ld;
  std::shared_ptr<double> cells;  // null: absent
  double at(int i, int j) const { return cells ? cells.get()[j * ld + i] : 0.0; }
};

Operand operand(std::mt19937_64& generator, int rows, int cols, bool absent) {
  Operand o{rows + static_cast<int>(generator() % 3), nullptr};
  if (absent) return o;
  o.cells = fenced_array(static_cast<std::size_t>(o.ld) * cols);
  for (int e = 0; e < o.ld * cols; ++e)
    o.cells.get()[e] = e % o.ld < rows ? vellum::test::random_value(generator) : -7.25e77;
  return o;
}

TEST(ProductEngine, EveryVariantMatchesThePlainLoopBitForBit) {
  std::mt19937_64 generator(7);
  std::vector<std::array<int, 3>> shapes = {{1, 1, 1}, {2, 3, 0}, {1, 9, 1}, {9, 1, 9}, {3, 7, 64}, {49, 13, 5}};
  auto size = [&] { return 1 + static_cast<int>(generator() % 61); };
  for (int s = 0; s < 24; ++s) shapes.push_back({size(), size(), size()});
  for (ProductIsa isa : kProductIsas) {
    int const rows = product_tile_rows(isa), cols = product_tile_cols(isa);
    // The variant's own blocking, ones that cut every dimension into blocks, and shapes past the
    // default blocks (192 rows, 256 values of p, 2048 columns).
    for (ProductBlocking blocking : {ProductBlocking{}, {2 * rows, 5, 3 * cols}, {rows, 1, cols}})
      for (std::size_t s = 0; product_isa_runs(isa) && s < shapes.size() + 2; ++s)
        for (ProductPacking packing : {ProductPacking::Heap, ProductPacking::Stack}) {
          auto [n, m, k] = s < shapes.size() ? shapes[s] : s % 2 ? std::array{197, 9, 300} : std::array{5, 2051, 3};
          Operand a = operand(generator, n, k, s % 7 == 3), b = operand(generator, k, m, s % 7 == 5);
          std::shared_ptr<double> c = fenced_array(static_cast<std::size_t>(n) * m);  // signalling NaNs before
          std::fill_n(c.get(), n * m, std::numeric_limits<double>::signaling_NaN());
          multiply({n, m, k, a.cells.get(), a.ld, b.cells.get(), b.ld, c.get()}, isa, blocking, packing);
          for (int e = 0; e < n * m; ++e) {
            double sum = 0.0;
            for (int p = 0; p < k; ++p) sum = sum + a.at(e % n, p) * b.at(p, e / n);
            ASSERT_EQ(vellum::test::bits(sum), vellum::test::bits(c.get()[e]))
                << "variant " << static_cast<int>(isa) << ", " << n << "x" << k << "x" << m << ", blocking "
                << blocking.mc << "/" << blocking.kc << "/" << blocking.nc << ", packing " << static_cast<int>(packing)
                << ": cell " << e;
          }
        }
  }
}

}  // namespace
