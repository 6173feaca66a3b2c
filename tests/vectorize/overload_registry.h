// Every element-wise overload of the library, generated from the library's own tables, callable
// by its signature text with operand records and the recorder.
#pragma once

#include <string>
#include <vector>

#include "tests/vectorize/recorder.h"

namespace vellum::test {

struct Overload {
  std::string signature;             // "vlVectorize(aComplex, aImagVec)"
  std::vector<std::string> operands;  // "aComplex", "aImagVec"
  bool dispatching;
  Anyval* (*invoke)(EfiCallContext* context, Anyval* const* operands);
};

// The 90 overloads of the tables (typed kernels, pairs, dispatching), in table order.
std::vector<Overload> const& table_overloads();

}  // namespace vellum::test
