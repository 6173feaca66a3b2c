// Every fuzz target over its checked-in corpus. A target reports a broken property by aborting
// (fuzz_check.h), which ends this program: the input's name is printed before it runs.
#include <cstdio>

#include <gtest/gtest.h>

#include "fuzz/corpus.h"

extern "C" {
int vellum_fuzz_comparison(std::uint8_t const* data, std::size_t size);
int vellum_fuzz_literal(std::uint8_t const* data, std::size_t size);
int vellum_fuzz_nr_arrays(std::uint8_t const* data, std::size_t size);
int vellum_fuzz_paths(std::uint8_t const* data, std::size_t size);
int vellum_fuzz_vectorize(std::uint8_t const* data, std::size_t size);
}

namespace {

void replay(char const* target, int (*run)(std::uint8_t const*, std::size_t)) {
  std::size_t inputs = 0;
  for (vellum::fuzz::CorpusInput const& input : vellum::fuzz::corpus()) {
    if (input.target != target) continue;
    std::fprintf(stderr, "%s: %s\n", target, input.name.c_str());
    EXPECT_EQ(run(input.bytes.data(), input.bytes.size()), 0) << input.name;
    ++inputs;
  }
  EXPECT_GT(inputs, 0u) << "no corpus for " << target;
}

TEST(FuzzCorpus, Comparison) { replay("comparison", vellum_fuzz_comparison); }
TEST(FuzzCorpus, Literal) { replay("literal", vellum_fuzz_literal); }
TEST(FuzzCorpus, NRArrays) { replay("nr_arrays", vellum_fuzz_nr_arrays); }
TEST(FuzzCorpus, Paths) { replay("paths", vellum_fuzz_paths); }
TEST(FuzzCorpus, Vectorize) { replay("vectorize", vellum_fuzz_vectorize); }

}  // namespace
