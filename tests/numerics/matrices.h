// Matrix records for the numerics tests, the test's own reading of their cells, and arrays that
// end at a fence, so that an operation that touches one element too many stops the program.
#pragma once

#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <tuple>
#include <vector>
#if defined(__linux__)
#  include <sys/mman.h>
#endif

#include "tests/support/test_support.h"

namespace vellum::test {

namespace text = vellum::error_text;
using V = std::vector<double>;
using Values = std::optional<V>;
using Part = double* aMatrix::*;
inline constexpr std::nullopt_t kAbsent = std::nullopt;
inline constexpr Part kReal = &aMatrix::real, kImag = &aMatrix::imag;

// `count` doubles that end where an inaccessible page begins (on Linux; elsewhere heap memory).
inline std::shared_ptr<double> fenced_array(std::size_t count) {
  std::size_t const grain = 1 << 16, bytes = (count * sizeof(double) / grain + 2) * grain;  // of whole pages
#if defined(__linux__)
  auto* base = static_cast<char*>(mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  mprotect(base + bytes - grain, grain, PROT_NONE);
  return {reinterpret_cast<double*>(base + bytes - grain) - count, [=](double*) { munmap(base, bytes); }};
#else
  auto* base = static_cast<char*>(std::malloc(bytes));
  return {reinterpret_cast<double*>(base + bytes - grain) - count, [=](double*) { std::free(base); }};
#endif
}

// Values of every sign and size, zeros of both signs among them.
inline double random_value(std::mt19937_64& generator) {
  double const x = std::uniform_real_distribution<double>(-1.0, 1.0)(generator);
  auto const kind = generator() % 8;
  return kind == 0 ? std::copysign(0.0, x) : kind == 1 ? std::ldexp(x, 40) : kind == 2 ? std::ldexp(x, -40) : x;
}

// Cell (i, j) of a part as the record lays it out, 0.0 for an absent part; column-major values of
// f(i, j); the cells of a part (also when absent, if asked for).
inline double at(aMatrix const* m, int i, int j, Part part = kReal) {
  return m->*part ? (m->*part)[static_cast<std::ptrdiff_t>(j) * m->ld + i] : 0.0;
}
template <class F>
V table(int rows, int cols, F f) {
  V values;
  for (int e = 0; e < rows * cols; ++e) values.push_back(f(e % rows, e / rows));
  return values;
}
inline Values cells(aMatrix const* m, Part part, bool present = false) {
  if (!(m->*part) && !present) return kAbsent;
  return table(m->rows, m->cols, [&](int i, int j) { return at(m, i, j, part); });
}

class NumericsTest : public HostTest {
 protected:
  void TearDown() override {
    for (auto& [m, original, fence] : fenced_) m->real = original;  // the host frees its own array
    decltype(fenced_)().swap(fenced_);
    HostTest::TearDown();
  }
  aMatrix* matrix(int rows, int cols, Values real, Values imag = kAbsent, int ld = 0) {  // padding: kPaddingValue
    return host::make_matrix(allocator, {rows, cols, std::move(real), std::move(imag), ld});
  }
  // M with its real part moved to the end of a fenced array.
  aMatrix* fenced(aMatrix* m) {
    if (!m->real) return m;
    std::size_t const count = static_cast<std::size_t>(m->ld) * m->cols;
    auto& [record, original, fence] = fenced_.emplace_back(m, m->real, fenced_array(count));
    m->real = std::copy_n(original, count, fence.get()) - count;
    return m;
  }
  aMatrix* random_matrix(int rows, int cols, int padding = 0, bool real = true, bool imag = false) {
    V parts[2];
    for (V& part : parts) part = table(rows, cols, [&](int, int) { return random_value(generator); });
    return fenced(
        matrix(rows, cols, real ? Values(parts[0]) : kAbsent, imag ? Values(parts[1]) : kAbsent, rows + padding));
  }
  // Shape, presence of each part and cells bit for bit; results are compact.
  void expect_matrix(aMatrix const* m, int rows, int cols, Values real, Values imag, bool compact = true) {
    ASSERT_TRUE(m && m->rows == rows && m->cols == cols) << rows << " x " << cols;
    EXPECT_TRUE(!compact || (m->ld == rows && m->size == static_cast<unsigned>(rows * cols * 8)));
    for (auto [part, expected] : {std::pair{kReal, &real}, {kImag, &imag}}) {
      ASSERT_EQ(m->*part != nullptr, expected->has_value());
      for (int e = 0; *expected && e < rows * cols; ++e)
        EXPECT_EQ(bits((**expected)[e]), bits(at(m, e % rows, e / rows, part))) << "cell " << e;
    }
  }
  aMatrix* const kUntouched = reinterpret_cast<aMatrix*>(std::uintptr_t{0x5A5A5A50});  // an out-parameter before
  std::mt19937_64 generator{20240601};

 private:
  std::vector<std::tuple<aMatrix*, double*, std::shared_ptr<double>>> fenced_;
};

}  // namespace vellum::test
