// The product engine against the plain i-j-p loop, bit for bit, in every variant the CPU runs,
// over shapes that are not multiples of any tile or block, with blockings that cut p, rows and
// columns into many blocks, and with both kinds of packing storage.
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include <vellum/numerics/product_kernel.h>

#include "tests/support/test_support.h"

namespace {

using vellum::numerics::ProductBlocking;
using vellum::numerics::ProductIsa;
using vellum::numerics::ProductOperands;
using vellum::numerics::ProductPacking;
using vellum::test::bits;

char const* isa_name(ProductIsa isa) {
  switch (isa) {
    case ProductIsa::Sse2: return "SSE2";
    case ProductIsa::Avx2: return "AVX2";
    case ProductIsa::Avx512: return "AVX-512";
  }
  return "?";
}

struct Operand {
  int rows, cols;
  std::ptrdiff_t ld;
  std::vector<double> data;  // empty: absent
  double const* get() const { return data.empty() ? nullptr : data.data(); }
};

// Mixed magnitudes and signs, exact zeros of both signs, and values that cancel, so that the
// order of the additions shows in the last bits.
double random_value(std::mt19937_64& generator) {
  std::uniform_int_distribution<int> kind(0, 15);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  switch (kind(generator)) {
    case 0: return 0.0;
    case 1: return -0.0;
    case 2: return std::ldexp(unit(generator), 40);
    case 3: return std::ldexp(unit(generator), -40);
    case 4: return 1.0;
    default: return unit(generator);
  }
}

Operand random_operand(std::mt19937_64& generator, int rows, int cols, int extra_ld, bool absent = false) {
  Operand o{rows, cols, rows + extra_ld, {}};
  if (absent) return o;
  o.data.resize(static_cast<std::size_t>(o.ld) * cols);
  for (std::size_t e = 0; e < o.data.size(); ++e)
    o.data[e] = static_cast<std::ptrdiff_t>(e) % o.ld < rows ? random_value(generator) : -7.25e77;
  return o;
}

double at(Operand const& o, int i, int j) { return o.data.empty() ? 0.0 : o.data[j * o.ld + i]; }

std::vector<double> naive(Operand const& a, Operand const& b) {
  std::vector<double> c(static_cast<std::size_t>(a.rows) * b.cols);
  for (int i = 0; i < a.rows; ++i)
    for (int j = 0; j < b.cols; ++j) {
      double s = 0.0;
      for (int p = 0; p < a.cols; ++p) s = s + at(a, i, p) * at(b, p, j);
      c[static_cast<std::size_t>(j) * a.rows + i] = s;
    }
  return c;
}

// Runs the engine into a buffer pre-filled with garbage and compares every cell.
::testing::AssertionResult matches_naive(Operand const& a, Operand const& b, ProductIsa isa,
                                         ProductBlocking blocking, ProductPacking packing) {
  std::vector<double> expected = naive(a, b);
  std::vector<double> c(expected.size(), std::numeric_limits<double>::signaling_NaN());
  vellum::numerics::multiply({a.rows, b.cols, a.cols, a.get(), a.ld, b.get(), b.ld, c.data()}, isa, blocking,
                             packing);
  for (std::size_t e = 0; e < c.size(); ++e) {
    bool same = bits(expected[e]) == bits(c[e]) || (std::isnan(expected[e]) && std::isnan(c[e]));
    if (!same)
      return ::testing::AssertionFailure() << "cell (" << e % a.rows << ", " << e / a.rows << "): expected "
                                           << expected[e] << " got " << c[e];
  }
  return ::testing::AssertionSuccess();
}

std::vector<ProductIsa> runnable_isas() {
  std::vector<ProductIsa> isas;
  for (ProductIsa isa : vellum::numerics::kProductIsas)
    if (vellum::numerics::product_isa_runs(isa)) isas.push_back(isa);
  return isas;
}

struct Shape {
  int n, m, k;
};

TEST(ProductEngine, EveryVariantMatchesThePlainLoopBitForBit) {
  std::mt19937_64 generator(7);
  std::uniform_int_distribution<int> size(1, 61);
  std::uniform_int_distribution<int> padding(0, 3);
  std::vector<Shape> shapes = {{1, 1, 1}, {2, 2, 3}, {1, 9, 1}, {9, 1, 9}, {3, 7, 64}, {49, 13, 5}};
  for (int s = 0; s < 24; ++s) shapes.push_back({size(generator), size(generator), size(generator)});
  for (ProductIsa isa : runnable_isas()) {
    int const tile_rows = vellum::numerics::product_tile_rows(isa);
    int const tile_cols = vellum::numerics::product_tile_cols(isa);
    // The variant's own blocking, and one that cuts every dimension into several blocks.
    ProductBlocking const blockings[] = {{}, {2 * tile_rows, 5, 3 * tile_cols}, {tile_rows, 1, tile_cols}};
    for (Shape const& shape : shapes)
      for (ProductBlocking const& blocking : blockings)
        for (ProductPacking packing : {ProductPacking::Heap, ProductPacking::Stack}) {
          Operand a = random_operand(generator, shape.n, shape.k, padding(generator));
          Operand b = random_operand(generator, shape.k, shape.m, padding(generator));
          EXPECT_TRUE(matches_naive(a, b, isa, blocking, packing))
              << isa_name(isa) << " " << shape.n << "x" << shape.k << " * " << shape.k << "x" << shape.m
              << " blocking " << blocking.mc << "/" << blocking.kc << "/" << blocking.nc
              << (packing == ProductPacking::Stack ? " stack" : " heap");
        }
  }
}

TEST(ProductEngine, ProductsLargerThanTheDefaultBlocksCarryTheirSumsAcrossBlocks) {
  std::mt19937_64 generator(11);
  // Past 192 rows, 256 values of p and 2048 columns: the default block edges.
  Shape const shapes[] = {{197, 9, 300}, {31, 2051, 3}, {5, 3, 777}};
  for (ProductIsa isa : runnable_isas())
    for (Shape const& shape : shapes) {
      Operand a = random_operand(generator, shape.n, shape.k, 1);
      Operand b = random_operand(generator, shape.k, shape.m, 0);
      EXPECT_TRUE(matches_naive(a, b, isa, {}, ProductPacking::Heap)) << isa_name(isa) << " " << shape.n;
    }
}

TEST(ProductEngine, AbsentOperandsAndSpecialValuesPropagateAsInThePlainLoop) {
  std::mt19937_64 generator(5);
  double const specials[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), 1e308, -1e308, 4.9e-324};
  for (ProductIsa isa : runnable_isas()) {
    // Absent operands read as zeros, whose products with an infinity (in column 3) are not a number.
    Operand a = random_operand(generator, 13, 10, 2, /*absent=*/true);
    Operand b = random_operand(generator, 10, 7, 0);
    b.data[3 * 10 + 4] = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(matches_naive(a, b, isa, {}, ProductPacking::Heap)) << isa_name(isa);
    Operand absent_b = random_operand(generator, 10, 7, 0, true);
    EXPECT_TRUE(matches_naive(random_operand(generator, 13, 10, 0), absent_b, isa, {}, ProductPacking::Stack));

    Operand c = random_operand(generator, 27, 19, 0);
    Operand d = random_operand(generator, 19, 11, 0);
    for (std::size_t s = 0; s < std::size(specials); ++s) {
      c.data[(s * 37) % c.data.size()] = specials[s];
      d.data[(s * 53) % d.data.size()] = specials[s];
    }
    EXPECT_TRUE(matches_naive(c, d, isa, {3 * vellum::numerics::product_tile_rows(isa), 4, 0}, ProductPacking::Heap))
        << isa_name(isa);
  }
}

TEST(ProductEngine, NoDepthGivesPositiveZeros) {
  std::vector<double> c(6, 1.0);
  vellum::numerics::multiply({2, 3, 0, nullptr, 2, nullptr, 0, c.data()});
  for (double x : c) EXPECT_EQ(bits(x), 0u);
}

}  // namespace
