// Operands for the element-wise overloads, made by the names of their views: arrays with a
// leading dimension larger than their rows, scalars with recognisable values.
#pragma once

#include <cmath>

#include "tests/support/test_support.h"
#include "tests/vectorize/overload_registry.h"

namespace vellum::test {

// The rows of every array and the columns of matrices. A vector has one column, or two (the
// second never read) when wide or when a typed view at an odd position.
struct Shape {
  int rows = 5, cols = 2;
  bool wide = false;
};

// The operands of one call: records made through the test's host, kept by it ('R' with a real
// array only, 'I' an imaginary one only, 'C' both, 'N' neither), scalars in the test's memory.
class Operands {
 public:
  Operands(host::HostAllocator& host, std::vector<std::string> const& types, std::vector<char> const& kinds,
           std::vector<aComplex> scalars, Shape shape = {})
      : scalars_(std::move(scalars)) {
    for (std::size_t k = 0; k < types.size(); ++k) {
      bool wide = shape.wide || (k % 2 == 0 && !is_generic_type(types[k]));
      host::MatrixLiteral literal{shape.rows, is_vector_type(types[k]) ? 1 + wide : shape.cols, {}, {}, shape.rows + 1};
      std::vector<double> re, im;
      for (int n = 0; n < literal.rows * literal.cols; ++n) {
        re.push_back(100.0 * (k + 1) + n + 1);
        im.push_back(-re.back() - 0.5);
      }
      if (kinds[k] == 'R' || kinds[k] == 'C') literal.real = re;
      if (kinds[k] == 'I' || kinds[k] == 'C') literal.imag = im;
      records_.push_back(&scalars_[k]);
      if (kinds[k] == 'S') continue;
      records_.back() = host::make_matrix(host.context()->allocator, literal);
      host.keep(records_.back());
    }
  }
  Anyval* const* data() const { return records_.data(); }
  aMatrix* array(std::size_t k) const { return static_cast<aMatrix*>(records_[k]); }

 private:
  std::vector<aComplex> scalars_;  // never resized: records_ points into it
  std::vector<Anyval*> records_;
};

// Scalars at position p (1-based): (p + 0.5, p + 0.25); a pure real's stored imaginary part is
// a NaN that must never be read.
inline std::vector<aComplex> typed_scalars(std::vector<std::string> const& types) {
  std::vector<aComplex> scalars;
  for (std::size_t p = 1; p <= types.size(); ++p)
    scalars.push_back(complex_record(p + 0.5, types[p - 1] == "aPureReal" ? std::nan("") : p + 0.25));
  return scalars;
}

// The kinds of record the views assert ('S' for scalars); generic operands complex.
inline std::vector<char> typed_kinds(std::vector<std::string> const& types) {
  std::vector<char> kinds;
  for (auto const& type : types) kinds.push_back(is_scalar_type(type) ? 'S' : kind_of_view(type));
  return kinds;
}

}  // namespace vellum::test
