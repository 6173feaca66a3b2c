// A failed property of a fuzz target: the condition's text and what it was checked on, then an
// abort, which libFuzzer reports as a crash and keeps the input of.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vellum::fuzz {

[[noreturn]] inline void fail(char const* what, std::string const& detail) {
  std::fprintf(stderr, "%s [%s]\n", what, detail.c_str());
  std::abort();
}

}  // namespace vellum::fuzz

#define CHECK(condition, detail)                                      \
  do {                                                                \
    if (!(condition)) ::vellum::fuzz::fail(#condition, (detail));     \
  } while (0)
