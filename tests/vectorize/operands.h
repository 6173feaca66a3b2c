// Operands for the element-wise overloads, made by the names of their views: arrays with a
// leading dimension larger than their rows (and a second, ignored column for some vectors),
// scalars with recognisable values.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace vellum::test {

// ---------------------------------------------------------------------------------------------
// Operands

inline double cell_real(int position, int i, int j) { return position * 100 + j * 10 + i + 1; }
inline double cell_imag(int position, int i, int j) { return -cell_real(position, i, j) - 0.5; }

inline bool is_vector_type(std::string const& type) { return type.find("Vec") != std::string::npos || type == "aVector"; }
inline bool is_scalar_type(std::string const& type) { return type == "aComplex" || type == "aPureReal"; }
// The part arrays a typed view's record has: 'R' real, 'I' imaginary, 'C' both.
inline char kind_of_view(std::string const& type) {
  if (type.find("Real") != std::string::npos) return 'R';
  if (type.find("Imag") != std::string::npos) return 'I';
  return 'C';
}

// The operands of one call: records made through the test's host, scalars in the test's memory.
class Operands {
 public:
  Operands(host::HostAllocator& host, std::vector<std::string> const& types, std::vector<char> const& kinds,
           std::vector<aComplex> scalars)
      : scalars_(std::move(scalars)) {
    for (std::size_t k = 0; k < types.size(); ++k) {
      int position = static_cast<int>(k) + 1;
      if (is_scalar_type(types[k])) {
        records_.push_back(&scalars_[k]);
        continue;
      }
      bool vector = is_vector_type(types[k]);
      // Vectors carry a second column (ignored) at odd positions; every array has padding rows.
      host::MatrixLiteral literal{3, vector ? (position % 2 ? 2 : 1) : 2, std::nullopt, std::nullopt, vector ? 5 : 4};
      std::vector<double> re, im;
      for (int j = 0; j < literal.cols; ++j)
        for (int i = 0; i < literal.rows; ++i) {
          re.push_back(cell_real(position, i, j));
          im.push_back(cell_imag(position, i, j));
        }
      if (kinds[k] != 'I') literal.real = re;
      if (kinds[k] != 'R') literal.imag = im;
      aMatrix* m = host::make_matrix(host.context()->allocator, literal);
      host.keep(m);
      records_.push_back(m);
    }
  }

  Anyval* const* data() const { return records_.data(); }
  aMatrix* array(std::size_t k) const { return static_cast<aMatrix*>(records_[k]); }
  std::size_t size() const { return records_.size(); }

  // The input the scalar function must see for operand k at (i, j) when read as `view`.
  scalar_val input(std::size_t k, std::string const& view, int i, int j) const {
    if (view == "aPureReal") return {scalars_[k].real, 0.0};
    if (view == "aComplex") return {scalars_[k].real, scalars_[k].imag};
    auto const* m = array(k);
    double re = *elem_ptr(m->real, m->ld, i, j);
    double im = *elem_ptr(m->imag, m->ld, i, j);
    switch (kind_of_view(view)) {
      case 'R': return {re, 0.0};
      case 'I': return {0.0, im};
      default: return {re, im};
    }
  }

 private:
  std::vector<aComplex> scalars_;  // never resized: records_ points into it
  std::vector<Anyval*> records_;
};

// Scalars at position p (1-based): (p + 0.5, p + 0.25); a pure real's stored imaginary part is
// a NaN that must never be read.
inline std::vector<aComplex> typed_scalars(std::vector<std::string> const& types) {
  std::vector<aComplex> scalars;
  for (std::size_t k = 0; k < types.size(); ++k) {
    double p = static_cast<double>(k + 1);
    scalars.push_back(complex_record(p + 0.5, types[k] == "aPureReal" ? std::numeric_limits<double>::quiet_NaN() : p + 0.25));
  }
  return scalars;
}

inline std::vector<char> typed_kinds(std::vector<std::string> const& types) {
  std::vector<char> kinds;
  for (auto const& t : types) kinds.push_back(is_scalar_type(t) ? 'S' : kind_of_view(t));
  return kinds;
}

}  // namespace vellum::test
