// A scalar function for every arity that records its inputs and answers by its call count, with
// no allocation (so that operator new balances stay exact).
#pragma once

#include <stdexcept>

#include <vellum/vellum.h>

namespace vellum::test {

struct Recorder {
  static constexpr std::size_t kMaxCalls = 64;
  bool real_part = true;  // answer k is (k + 1, -(k + 1) - 0.5); a part switched off is ±0.0
  bool imag_part = true;
  int throw_at = -1;  // the call that throws a std::runtime_error instead of answering
  std::size_t calls = 0;
  scalar_val inputs[kMaxCalls][4];
  aString const* strings[kMaxCalls][2];

  void reset() { *this = Recorder{}; }
  scalar_val answer(std::size_t call) const {
    double k = static_cast<double>(call) + 1, zero = call % 2 ? -0.0 : 0.0;
    return {real_part ? k : zero, imag_part ? -k - 0.5 : zero};
  }
};

inline Recorder g_recorder;

template <class... Inputs>
void record(scalar_val& result, Inputs const&... x) {
  Recorder& r = g_recorder;
  if (static_cast<int>(r.calls) == r.throw_at) throw std::runtime_error("scalar function failed");
  std::size_t k = 0;
  if (r.calls < Recorder::kMaxCalls) ((r.inputs[r.calls][k++] = x), ...);
  result = r.answer(r.calls++);
}

inline void record_strings(scalar_val& result, aString const* a, aString const* b) {
  Recorder& r = g_recorder;
  if (r.calls < Recorder::kMaxCalls) r.strings[r.calls][0] = a, r.strings[r.calls][1] = b;
  result = r.answer(r.calls++);
}

}  // namespace vellum::test
