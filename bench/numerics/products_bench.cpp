// MMprod on square real matrices beside two baselines over the same arrays, measured in the same
// run: the plain i-j-p loop that defines its result (MMprod_Baseline) and OpenBLAS dgemm on one
// thread (MMprod_OpenBLAS). Items are multiply-adds (n^3 per product).
//
//   scripts/bench-ratios --baseline Baseline --baseline OpenBLAS build/.../bench_numerics
#include <benchmark/benchmark.h>
#include <cblas.h>

#include <cstdint>
#include <vector>

#include <vellum/numerics/products.h>

#include "host/library/host_allocator.h"
#include "host/library/values.h"

namespace {

struct Operands {
  explicit Operands(int n) : n(n) {
    std::vector<double> a(static_cast<std::size_t>(n) * n), b(a.size());
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    auto next = [&] {
      state = state * 6364136223846793005u + 1442695040888963407u;
      return static_cast<double>(state >> 11) * 0x1.0p-53 - 0.5;
    };
    for (double& x : a) x = next();
    for (double& x : b) x = next();
    A = vellum::host::make_matrix(host.context()->allocator, {n, n, a, std::nullopt, 0});
    B = vellum::host::make_matrix(host.context()->allocator, {n, n, b, std::nullopt, 0});
    host.keep(A);
    host.keep(B);
  }
  vellum::host::HostAllocator host;
  int n;
  aMatrix* A;
  aMatrix* B;
};

int order(benchmark::State const& state) { return static_cast<int>(state.range(0)); }

void count_items(benchmark::State& state, int n) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * n * n * n);
}

void MMprod_Kernel(benchmark::State& state) {
  Operands in(order(state));
  for (auto _ : state) {
    aMatrix* product = nullptr;
    char const* error = MMprod(in.host.context(), in.A, in.B, &product);
    benchmark::DoNotOptimize(error);
    benchmark::DoNotOptimize(product->real);
    state.PauseTiming();
    in.host.release(product);
    state.ResumeTiming();
  }
  count_items(state, in.n);
}

// The loop that defines MMprod's result, over the same arrays.
void MMprod_Baseline(benchmark::State& state) {
  Operands in(order(state));
  int const n = in.n;
  std::vector<double> c(static_cast<std::size_t>(n) * n);
  double const* a = in.A->real;
  double const* b = in.B->real;
  std::ptrdiff_t const lda = in.A->ld, ldb = in.B->ld;
  for (auto _ : state) {
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        double s = 0.0;
        for (int p = 0; p < n; ++p) s = s + a[p * lda + i] * b[j * ldb + p];
        c[static_cast<std::size_t>(j) * n + i] = s;
      }
    benchmark::DoNotOptimize(c.data());
    benchmark::ClobberMemory();
  }
  count_items(state, n);
}

void MMprod_OpenBLAS(benchmark::State& state) {
  Operands in(order(state));
  int const n = in.n;
  std::vector<double> c(static_cast<std::size_t>(n) * n);
  for (auto _ : state) {
    cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, n, n, n, 1.0, in.A->real, in.A->ld, in.B->real,
                in.B->ld, 0.0, c.data(), n);
    benchmark::DoNotOptimize(c.data());
    benchmark::ClobberMemory();
  }
  count_items(state, n);
}

#define VELLUM_ORDERS ->Arg(64)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond)
BENCHMARK(MMprod_Baseline) VELLUM_ORDERS;
BENCHMARK(MMprod_OpenBLAS) VELLUM_ORDERS;
BENCHMARK(MMprod_Kernel) VELLUM_ORDERS;

}  // namespace

int main(int argc, char** argv) {
  openblas_set_num_threads(1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
