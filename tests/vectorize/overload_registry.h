// Every element-wise overload of the library, generated from the library's own tables, callable
// by its signature text with operand records and the recorder.
#pragma once

#include <string>
#include <vector>

#include "tests/vectorize/recorder.h"

namespace vellum::test {

struct Overload {
  std::string signature;              // "vlVectorize(aComplex, aImagVec)"
  std::vector<std::string> operands;  // "aComplex", "aImagVec"
  bool dispatching;
  Anyval* (*invoke)(EfiCallContext* context, Anyval* const* operands);
};

// The 90 overloads of the tables (typed kernels, pairs, dispatching), in table order.
std::vector<Overload> const& table_overloads();

inline bool is_scalar_type(std::string const& type) { return type == "aComplex" || type == "aPureReal"; }
inline bool is_generic_type(std::string const& type) { return type == "aVector" || type == "aMatrix"; }
inline bool is_vector_type(std::string const& type) { return type.find("Vec") != std::string::npos; }
// The part arrays a typed view reads: 'R' real, 'I' imaginary, 'C' both.
inline char kind_of_view(std::string const& type) {
  return type.find("Real") != std::string::npos ? 'R' : type.find("Imag") != std::string::npos ? 'I' : 'C';
}

}  // namespace vellum::test
