// The reference for every overload of the tables: the typed kernel a call must reach, worked out
// from its operands by the family's rules, and a plain column-major loop over the elements that
// says what the scalar function must see, where the call must stop and what the result holds.
#pragma once

#include <bit>
#include <cstring>

#include "host/testing/fault_injection.h"
#include "host/library/host_allocator.h"
#include "tests/vectorize/overload_registry.h"

namespace vellum::test {

// Calls the overload with the recorder (its answers and throw_at as set) and compares the text
// it threw, its calls and their inputs bit for bit, the records it made, the result's shape and
// part arrays and the operator new balance with the reference. "" when all agree.
inline std::string check_call(host::HostAllocator& host, Overload const& o, Anyval* const* ops) {
  std::size_t const arity = o.operands.size();
  // A generic record is real without an imaginary array, else imaginary without a real one (a
  // vector must also have one column, any record tag 5); a typed operand is as its view says.
  std::string kind(arity, 'S');
  std::vector<aMatrix const*> arrays;
  bool real = true, pure = true;
  for (std::size_t k = 0; k < arity; ++k) {
    std::string const& type = o.operands[k];
    auto const* m = static_cast<aMatrix const*>(ops[k]);
    auto const* z = static_cast<aComplex const*>(ops[k]);
    if (is_scalar_type(type)) {
      pure = pure && (type == "aPureReal" || (z->tag == ValueTag::Complex && z->imag == 0.0));
      continue;
    }
    bool fits = m->tag == ValueTag::Matrix && (type == "aMatrix" || m->cols == 1);
    kind[k] = !is_generic_type(type) ? kind_of_view(type) : fits && !m->imag ? 'R' : fits && !m->real ? 'I' : 'C';
    real = real && kind[k] == 'R';
    arrays.push_back(m);
  }
  // Real arrays give a real result unless the name or a scalar that is not pure real says complex.
  // Three kernels trim a complex result: the complex matrix alone, and the imaginary vector and
  // the real one (under vlNcVectorize) followed by one scalar.
  bool const complex = !real || o.signature.starts_with("vlNc") || !pure;
  bool const vector = is_vector_type(o.operands[kind[0] == 'S' ? arity - 1 : 0]);
  char const rule = !complex ? 'R' : (vector ? kind == "IS" || kind == "RS" : kind == "C") ? 'T' : 'F';
  // The direct skeleton makes its record before the first element.
  bool const direct = arrays.size() == 2 || (!vector && (arity > 1 || (real && complex)));
  std::string const call = o.signature + " on " + kind + (complex ? " (complex): " : ": ");

  host.clear_calls();
  g_recorder.calls = 0;
  std::int64_t const live = faults::live_blocks();
  char const* thrown = "";
  aMatrix* m = nullptr;
  try {
    m = static_cast<aMatrix*>(o.invoke(host.context(), ops));
  } catch (char* text) {
    thrown = text;
  } catch (std::runtime_error const&) {
    thrown = "scalar function failed";
  }

  char nested[] = "0.may not be nested";
  char const* stop = "";
  std::size_t calls = 0;
  aMatrix const *a = arrays.front(), *b = arrays.back();
  int const rows = a->rows, cols = vector ? 1 : a->cols;
  if (rows != b->rows || (!vector && cols != b->cols)) stop = "array size mismatch";
  for (int j = 0; j < cols && !*stop; ++j)
    for (int i = 0; i < rows && !*stop; ++i) {
      for (std::size_t k = 0; k < arity && !*stop; ++k) {
        auto const* p = static_cast<aMatrix const*>(ops[k]);
        auto const* z = static_cast<aComplex const*>(ops[k]);
        std::ptrdiff_t at = static_cast<std::ptrdiff_t>(j) * (kind[k] == 'S' ? 0 : p->ld) + i;
        scalar_val x = kind[k] == 'S' ? scalar_val{z->real, complex ? z->imag : 0.0}
                                      : scalar_val{kind[k] != 'I' && p->real ? p->real[at] : 0.0,
                                                   kind[k] != 'R' && p->imag ? p->imag[at] : 0.0};
        if (kind[k] != 'S' && kind[k] != 'I' && std::bit_cast<std::uint64_t>(x.real) >> 32 == 0xFFFFFFFFu)
          stop = (nested[0] += static_cast<char>(k + 1), nested);
        else if (calls < g_recorder.calls && std::memcmp(&x, &g_recorder.inputs[calls][k], sizeof x))
          return call + "input " + std::to_string(k) + " of call " + std::to_string(calls);
      }
      if (!*stop && static_cast<int>(calls) == g_recorder.throw_at) stop = "scalar function failed";
      calls += !*stop;
    }
  if (std::strcmp(stop, thrown) || calls != g_recorder.calls)
    return call + "threw '" + thrown + "' after " + std::to_string(g_recorder.calls) + " calls";
  std::size_t const records = host.calls(30);
  if (*stop) {
    if (records != (direct && std::strcmp(stop, "array size mismatch") ? 1u : 0u)) return call + "records left";
    host.release_unkept();
  } else {
    if (records != 1 || m->tag != ValueTag::Matrix || m->rows != rows || m->cols != cols || m->ld != rows ||
        m->size != calls * sizeof(double))
      return call + "a result of another shape";
    bool all_real_zero = true, all_imag_zero = true;
    for (std::size_t k = 0; k < calls; ++k) {
      all_real_zero = all_real_zero && g_recorder.answer(k).real == 0.0;
      all_imag_zero = all_imag_zero && g_recorder.answer(k).imag == 0.0;
    }
    bool keep_real = rule != 'T' || !all_real_zero || all_imag_zero;
    bool keep_imag = rule == 'F' || (rule == 'T' && !all_imag_zero);
    if ((m->real != nullptr) != keep_real || (m->imag != nullptr) != keep_imag)
      return call + "a result with other part arrays";
    for (std::size_t k = 0; k < calls; ++k) {
      scalar_val want = g_recorder.answer(k);
      if ((keep_real && std::memcmp(&m->real[k], &want.real, 8)) ||
          (keep_imag && std::memcmp(&m->imag[k], &want.imag, 8)))
        return call + "result " + std::to_string(k);
    }
    host.release(m);
  }
  return faults::live_blocks() == live ? "" : call + "operator new blocks left";
}

}  // namespace vellum::test
