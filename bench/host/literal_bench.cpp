// The host's literal reader and printer on a 2000 x 2000 matrix of random doubles, beside bare
// loops over the same numbers: std::from_chars over the printed text (its separators skipped),
// and std::to_chars of every number with the same separators. Throughput in numbers a second.
#include <benchmark/benchmark.h>

#include <charconv>
#include <random>
#include <string>
#include <vector>

#include "host/library/host_allocator.h"
#include "host/library/literal.h"
#include "host/library/printer.h"
#include "host/library/values.h"

namespace {

constexpr int kOrder = 2000;

struct Input {
  Input() {
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> uniform(-1e6, 1e6);
    numbers.resize(std::size_t{kOrder} * kOrder);
    for (double& x : numbers) x = uniform(random);
    matrix = vellum::host::make_matrix(host.context()->allocator, {kOrder, kOrder, numbers, std::nullopt, 0});
    host.keep(matrix);
    text = vellum::host::format_value(matrix);
  }
  vellum::host::HostAllocator host;
  std::vector<double> numbers;  // column-major, as the matrix holds them
  aMatrix* matrix;
  std::string text;
};

Input& input() {
  static Input in;
  return in;
}

void Read_Kernel(benchmark::State& state) {
  Input& in = input();
  for (auto _ : state) {
    Anyval* value = vellum::host::parse_literal(in.host.context()->allocator, in.text);
    benchmark::DoNotOptimize(value);
    state.PauseTiming();
    in.host.release(value);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(in.numbers.size()));
}

void Read_Baseline(benchmark::State& state) {
  Input& in = input();
  std::vector<double> out(in.numbers.size());
  for (auto _ : state) {
    char const* p = in.text.data() + 1;
    char const* end = in.text.data() + in.text.size();
    for (double& x : out) {
      p = std::from_chars(p, end, x).ptr;
      while (p < end && (*p == ',' || *p == ';' || *p == ' ' || *p == ']')) ++p;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(in.numbers.size()));
}

void Print_Kernel(benchmark::State& state) {
  Input& in = input();
  for (auto _ : state) {
    std::string text = vellum::host::format_value(in.matrix);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(in.numbers.size()));
}

void Print_Baseline(benchmark::State& state) {
  Input& in = input();
  for (auto _ : state) {
    std::string text = "[";
    char buffer[32];
    for (int i = 0; i < kOrder; ++i) {
      if (i) text += "; ";
      for (int j = 0; j < kOrder; ++j) {
        if (j) text += ", ";
        text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, in.numbers[std::size_t(j) * kOrder + i]).ptr);
      }
    }
    text += "]";
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(in.numbers.size()));
}

BENCHMARK(Read_Kernel)->Arg(kOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(Read_Baseline)->Arg(kOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(Print_Kernel)->Arg(kOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(Print_Baseline)->Arg(kOrder)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
