// The element-wise kernels beside a pack's hand-written loop over the same input arrays that
// calls the same scalar function through a function pointer and writes the same result arrays
// (vectorize_pack.h). Both sides get the function from another module, so both make a real
// indirect call. Each benchmark makes its own input; results are freed outside the timing.
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/vectorize_pack.h"
#include "host/library/host_allocator.h"
#include "host/library/values.h"

namespace {

struct Input {
  Input(std::size_t n, int rows, bool complex) : n(n) {
    int cols = static_cast<int>(n / static_cast<std::size_t>(rows));
    std::vector<double> re(n), im(n);
    for (std::size_t k = 0; k < n; ++k) {
      re[k] = std::sin(static_cast<double>(k));
      im[k] = std::cos(static_cast<double>(k));
    }
    matrix = vellum::host::make_matrix(host.context()->allocator,
                                       {rows, cols, re, complex ? std::optional(im) : std::nullopt, 0});
    host.keep(matrix);
  }
  vellum::host::HostAllocator host;
  std::size_t n;
  aMatrix* matrix;
};

template <class Call>
void measure_kernel(benchmark::State& state, Input& in, Call call) {
  for (auto _ : state) {
    Anyval* result = call();
    benchmark::DoNotOptimize(result);
    state.PauseTiming();
    in.host.release(result);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * in.n));
}

template <class Call>
void measure_baseline(benchmark::State& state, Input& in, Call call) {
  for (auto _ : state) {
    bench_pack::Arrays arrays = call();
    benchmark::DoNotOptimize(arrays);
    state.PauseTiming();
    ::operator delete(arrays.real);
    ::operator delete(arrays.imag);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * in.n));
}

std::size_t size_of(benchmark::State const& state) { return static_cast<std::size_t>(state.range(0)); }
int vector_rows(benchmark::State const& state) { return static_cast<int>(state.range(0)); }
constexpr int kMatrixRows = 1000;

void RealVec_Kernel(benchmark::State& state) {
  Input in(size_of(state), vector_rows(state), false);
  vlScalarFn1 fn = &bench_pack::affine;
  measure_kernel(state, in, [&] { return vlVectorize(in.host.context(), fn, vellum::view_as<aRealVec>(in.matrix)); });
}
void RealVec_Baseline(benchmark::State& state) {
  Input in(size_of(state), vector_rows(state), false);
  vlScalarFn1 fn = &bench_pack::affine;
  measure_baseline(state, in, [&] { return bench_pack::real_vector_loop(fn, in.matrix); });
}

void NcRealMatrix_Kernel(benchmark::State& state) {
  Input in(size_of(state), kMatrixRows, false);
  vlScalarFn1 fn = &bench_pack::affine;
  measure_kernel(state, in,
                 [&] { return vlNcVectorize(in.host.context(), fn, vellum::view_as<aRealMatrix>(in.matrix)); });
}
void NcRealMatrix_Baseline(benchmark::State& state) {
  Input in(size_of(state), kMatrixRows, false);
  vlScalarFn1 fn = &bench_pack::affine;
  measure_baseline(state, in, [&] { return bench_pack::real_matrix_to_complex_loop(fn, in.matrix); });
}

void CplxMatrix_Kernel(benchmark::State& state) {
  Input in(size_of(state), kMatrixRows, true);
  vlScalarFn1 fn = &bench_pack::affine;
  measure_kernel(state, in,
                 [&] { return vlVectorize(in.host.context(), fn, vellum::view_as<aCplxMatrix>(in.matrix)); });
}
void CplxMatrix_Baseline(benchmark::State& state) {
  Input in(size_of(state), kMatrixRows, true);
  vlScalarFn1 fn = &bench_pack::affine;
  measure_baseline(state, in, [&] { return bench_pack::complex_matrix_loop(fn, in.matrix); });
}

void RealPair_Kernel(benchmark::State& state) {
  Input in(size_of(state), vector_rows(state), false);
  vlScalarFn2 fn = &bench_pack::sum;
  auto* v = vellum::view_as<aRealVec>(in.matrix);
  measure_kernel(state, in, [&] { return vlVectorize(in.host.context(), fn, v, v); });
}
void RealPair_Baseline(benchmark::State& state) {
  Input in(size_of(state), vector_rows(state), false);
  vlScalarFn2 fn = &bench_pack::sum;
  measure_baseline(state, in, [&] { return bench_pack::real_pair_loop(fn, in.matrix, in.matrix); });
}

#define VELLUM_SIZES ->Arg(1000)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMicrosecond)
BENCHMARK(RealVec_Baseline) VELLUM_SIZES;
BENCHMARK(RealVec_Kernel) VELLUM_SIZES;
BENCHMARK(NcRealMatrix_Baseline) VELLUM_SIZES;
BENCHMARK(NcRealMatrix_Kernel) VELLUM_SIZES;
BENCHMARK(CplxMatrix_Baseline) VELLUM_SIZES;
BENCHMARK(CplxMatrix_Kernel) VELLUM_SIZES;
BENCHMARK(RealPair_Baseline) VELLUM_SIZES;
BENCHMARK(RealPair_Kernel) VELLUM_SIZES;

}  // namespace

BENCHMARK_MAIN();
