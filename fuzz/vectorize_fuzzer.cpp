// The dispatching element-wise overloads over matrices of every shape the host can hand over:
// any leading dimension, absent part arrays, nested cells, padding between columns, scalars of
// any tag. Each call is compared, bit for bit, with a plain loop written here from the rules of
// the family: which kernel the operands' kinds select, the order in which elements are read,
// which operand's nested cell stops the call, and which part arrays the result keeps.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include <vellum/vellum.h>

#include "host/fault_injection.h"
#include "host/host_allocator.h"
#include "fuzz/fuzz_check.h"

namespace {

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }
double nested_cell(std::uint32_t address) { return std::bit_cast<double>(0xFFFFFFFF00000000ull | address); }
bool is_nested(double x) { return (bits(x) >> 32) == 0xFFFFFFFFu; }

// What the scalar functions do is chosen per input; each formula gives zero and non-zero parts
// for different inputs, so that every result rule meets both.
int g_formula = 0;
std::size_t g_calls = 0;
void f1(scalar_val& r, scalar_val const& x) {
  ++g_calls;
  switch (g_formula) {
    case 0: r = {x.real * 2.0 - x.imag, x.imag + x.real * 0.5}; break;
    case 1: r = {x.imag, x.real}; break;
    case 2: r = {x.real + 1.0, 0.0}; break;
    default: r = {0.0, x.real - x.imag}; break;
  }
}
void f2(scalar_val& r, scalar_val const& x, scalar_val const& y) {
  ++g_calls;
  switch (g_formula) {
    case 0: r = {x.real - y.imag, x.imag * y.real + x.real}; break;
    case 1: r = {y.real, x.imag}; break;
    case 2: r = {x.real * y.real, 0.0}; break;
    default: r = {0.0, x.imag + y.imag}; break;
  }
}
void f3(scalar_val& r, scalar_val const& x, scalar_val const& y, scalar_val const& z) {
  ++g_calls;
  switch (g_formula) {
    case 0: r = {x.real + y.real - z.imag, x.imag - y.imag * z.real}; break;
    case 1: r = {z.imag, y.imag}; break;
    case 2: r = {x.real, 0.0}; break;
    default: r = {0.0, x.imag - z.real}; break;
  }
}

double cell_value(FuzzedDataProvider& in) {
  static double const palette[] = {0.0, -0.0, 1.0, -1.5, 2.0, 1e300, -3.25, 0.0, 0.0, 5e-324,
                                   std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                                   0.75, 0.0, -2.0, 4.0};
  std::uint8_t b = in.ConsumeIntegral<std::uint8_t>();
  if (b == 255) return nested_cell(in.ConsumeIntegral<std::uint32_t>());
  if (b == 254) return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
  return palette[b % 16];
}

// A matrix record of the caller's own, its arrays exactly as long as the leading dimension
// and shape need, padding cells holding nested cells so that a reader of padding is noticed.
struct Operand {
  aMatrix record{};
  std::unique_ptr<double[]> real, imag;
};

std::unique_ptr<Operand> make_operand(FuzzedDataProvider& in, int rows, int cols) {
  auto op = std::make_unique<Operand>();
  int ld = rows + in.ConsumeIntegralInRange(0, 2);
  std::size_t count = static_cast<std::size_t>(ld) * (cols - 1) + rows;
  std::size_t stored = count == 0 ? 1 : count;
  bool has_real = in.ConsumeIntegralInRange(0, 3) != 0;
  bool has_imag = in.ConsumeBool();
  auto fill = [&](std::unique_ptr<double[]>& array) {
    array = std::make_unique<double[]>(stored);
    for (std::size_t k = 0; k < stored; ++k) {
      bool padding = ld > 0 && static_cast<int>(k % ld) >= rows;
      array[k] = padding ? nested_cell(0xBADu) : cell_value(in);
    }
  };
  if (has_real) fill(op->real);
  if (has_imag) fill(op->imag);
  op->record.tag = ValueTag::Matrix;
  op->record.ld = ld;
  op->record.size = static_cast<std::uint32_t>(stored * sizeof(double));
  op->record.real = op->real.get();
  op->record.imag = op->imag.get();
  op->record.rows = rows;
  op->record.cols = cols;
  return op;
}

aComplex make_scalar(FuzzedDataProvider& in) {
  aComplex z{};
  int t = in.ConsumeIntegralInRange(0, 7);
  z.tag = t == 7 ? static_cast<ValueTag>(in.ConsumeIntegralInRange(0, 30)) : ValueTag::Complex;
  z.real = cell_value(in);
  z.imag = in.ConsumeBool() ? (in.ConsumeBool() ? -0.0 : 0.0) : cell_value(in);
  return z;
}

enum class Kind { Real, Imag, Cplx };
enum class Rule { Real, Full, Trimmed };

Kind classify(aMatrix const& m) { return !m.imag ? Kind::Real : !m.real ? Kind::Imag : Kind::Cplx; }
bool pure(aComplex const& z) { return z.tag == ValueTag::Complex && z.imag == 0.0; }

// One operand of the reference: an array read as its kind, or a scalar.
struct RefOperand {
  aMatrix const* array = nullptr;
  Kind kind = Kind::Real;
  scalar_val scalar{};
};

struct Expected {
  std::optional<std::string> thrown;
  Rule rule = Rule::Real;
  int rows = 0, cols = 0;
  std::vector<double> real, imag;
};

// The reference loop: column by column, row by row, every operand read in operand order; a
// nested real part read from an array stops everything with that operand's position.
Expected reference(std::vector<RefOperand> const& ops, Rule rule) {
  Expected e;
  e.rule = rule;
  std::vector<aMatrix const*> arrays;
  for (auto const& op : ops)
    if (op.array) arrays.push_back(op.array);
  if (arrays.size() == 2 && (arrays[0]->rows != arrays[1]->rows || arrays[0]->cols != arrays[1]->cols)) {
    e.thrown = "array size mismatch";
    return e;
  }
  e.rows = arrays[0]->rows;
  e.cols = arrays[0]->cols;
  for (int j = 0; j < e.cols; ++j)
    for (int i = 0; i < e.rows; ++i) {
      scalar_val x[3];
      for (std::size_t p = 0; p < ops.size(); ++p) {
        auto const& op = ops[p];
        if (!op.array) {
          x[p] = op.scalar;
          continue;
        }
        std::ptrdiff_t at = static_cast<std::ptrdiff_t>(j) * op.array->ld + i;
        double re = op.kind != Kind::Imag && op.array->real ? op.array->real[at] : 0.0;
        double im = op.kind != Kind::Real && op.array->imag ? op.array->imag[at] : 0.0;
        if (op.kind != Kind::Imag && is_nested(re)) {
          e.thrown = std::to_string(p + 1) + ".may not be nested";
          return e;
        }
        x[p] = {re, im};
      }
      scalar_val r{};
      if (ops.size() == 1) f1(r, x[0]);
      if (ops.size() == 2) f2(r, x[0], x[1]);
      if (ops.size() == 3) f3(r, x[0], x[1], x[2]);
      e.real.push_back(r.real);
      e.imag.push_back(r.imag);
    }
  return e;
}

std::string describe(int overload, std::vector<RefOperand> const& ops) {
  std::string s = "overload " + std::to_string(overload) + ", formula " + std::to_string(g_formula);
  for (auto const& op : ops) {
    if (op.array)
      s += "; array " + std::to_string(op.array->rows) + "x" + std::to_string(op.array->cols) + " ld " +
           std::to_string(op.array->ld) + (op.array->real ? " re" : "") + (op.array->imag ? " im" : "") +
           " read " + std::to_string(static_cast<int>(op.kind));
    else
      s += "; scalar";
  }
  return s;
}

void compare(aMatrix const* result, Expected const& e, std::string const& what) {
  CHECK(result != nullptr && result->tag == ValueTag::Matrix, what);
  CHECK(result->rows == e.rows && result->cols == e.cols, what);
  std::size_t n = e.real.size();
  CHECK(n == static_cast<std::size_t>(e.rows) * e.cols, what);
  CHECK(result->size == n * sizeof(double), what);
  if (n > 0) CHECK(result->ld == e.rows, what);
  bool keep_real = true, keep_imag = e.rule != Rule::Real;
  if (e.rule == Rule::Trimmed) {
    bool all_real_zero = true, all_imag_zero = true;
    for (std::size_t k = 0; k < n; ++k) {
      all_real_zero &= e.real[k] == 0.0;
      all_imag_zero &= e.imag[k] == 0.0;
    }
    keep_imag = !all_imag_zero;
    keep_real = !(all_real_zero && !all_imag_zero);
  }
  CHECK((result->real != nullptr) == keep_real, what);
  CHECK((result->imag != nullptr) == keep_imag, what);
  for (std::size_t k = 0; k < n; ++k) {
    if (keep_real) CHECK(bits(result->real[k]) == bits(e.real[k]), what + ", real part " + std::to_string(k));
    if (keep_imag) CHECK(bits(result->imag[k]) == bits(e.imag[k]), what + ", imaginary part " + std::to_string(k));
  }
}

vellum::host::HostAllocator& host() {
  static auto* h = [] {
    auto* made = new vellum::host::HostAllocator;
    made->set_report_on_destroy(false);
    return made;
  }();
  return *h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  int const overload = in.ConsumeIntegralInRange(0, 14);
  g_formula = in.ConsumeIntegralInRange(0, 3);
  int rows = in.ConsumeIntegralInRange(0, 6);
  int cols = in.ConsumeIntegralInRange(1, 6);
  auto a = make_operand(in, rows, cols);
  // The second array of a pair mostly has the first one's shape.
  bool same_shape = in.ConsumeIntegralInRange(0, 7) != 0;
  auto b = make_operand(in, same_shape ? rows : in.ConsumeIntegralInRange(0, 6),
                        same_shape ? cols : in.ConsumeIntegralInRange(1, 6));
  aComplex s1 = make_scalar(in), s2 = make_scalar(in);

  EfiCallContext* context = host().context();
  aMatrix const* A = &a->record;
  aMatrix const* B = &b->record;
  auto const* A_ = static_cast<aMatrix const*>(A);
  auto scalar = [](aComplex const& z, bool as_pure) {
    return RefOperand{nullptr, Kind::Real, {z.real, as_pure ? 0.0 : z.imag}};
  };
  auto array = [](aMatrix const* m, Kind k) { return RefOperand{m, k, {}}; };

  // The reference's operands and rule for the overload, from the kinds of the operands.
  std::vector<RefOperand> ops;
  Rule rule = Rule::Full;
  bool const nc = overload <= 7 && overload % 2 == 1;
  if (overload <= 7) {
    Kind k = classify(*A);
    std::vector<aComplex const*> scalars;
    if (overload >= 2 && overload <= 5) scalars = {&s1};
    if (overload >= 6) scalars = {&s1, &s2};
    bool all_pure = true;
    for (auto const* z : scalars) all_pure = all_pure && pure(*z);
    bool real_kernel = k == Kind::Real && !nc && all_pure;
    if (real_kernel)
      rule = Rule::Real;
    else if (k == Kind::Cplx && scalars.empty())
      rule = Rule::Trimmed;
    auto arr = array(A, k);
    if (overload <= 1) ops = {arr};
    else if (overload <= 3) ops = {scalar(s1, real_kernel), arr};
    else if (overload <= 5) ops = {arr, scalar(s1, real_kernel)};
    else ops = {arr, scalar(s1, real_kernel), scalar(s2, real_kernel)};
  } else {
    // Pairs: a generic operand is classified, a typed one read as declared.
    static Kind const declared[] = {Kind::Imag, Kind::Real, Kind::Cplx};
    Kind ka = classify(*A), kb = classify(*B);
    if (overload >= 8 && overload <= 10) kb = declared[overload - 8];
    if (overload >= 11 && overload <= 13) ka = declared[overload - 11];
    ops = {array(A, ka), array(B, kb)};
    rule = ka == Kind::Real && kb == Kind::Real ? Rule::Real : Rule::Full;
  }
  Expected expected = reference(ops, rule);
  std::size_t reference_calls = g_calls;
  g_calls = 0;

  std::string const what = describe(overload, ops);
  std::optional<std::string> thrown;
  std::int64_t before = vellum::faults::live_blocks();
  aMatrix* result = nullptr;
  try {
    switch (overload) {
      case 0: result = vlVectorize(context, f1, A_); break;
      case 1: result = vlNcVectorize(context, f1, A_); break;
      case 2: result = vlVectorize(context, f2, &s1, A_); break;
      case 3: result = vlNcVectorize(context, f2, &s1, A_); break;
      case 4: result = vlVectorize(context, f2, A_, &s1); break;
      case 5: result = vlNcVectorize(context, f2, A_, &s1); break;
      case 6: result = vlVectorize(context, f3, A_, &s1, &s2); break;
      case 7: result = vlNcVectorize(context, f3, A_, &s1, &s2); break;
      case 8: result = vlVectorize(context, f2, A_, static_cast<aImagMatrix const*>(B)); break;
      case 9: result = vlVectorize(context, f2, A_, static_cast<aRealMatrix const*>(B)); break;
      case 10: result = vlVectorize(context, f2, A_, static_cast<aCplxMatrix const*>(B)); break;
      case 11: result = vlVectorize(context, f2, static_cast<aImagMatrix const*>(A), B); break;
      case 12: result = vlVectorize(context, f2, static_cast<aRealMatrix const*>(A), B); break;
      case 13: result = vlVectorize(context, f2, static_cast<aCplxMatrix const*>(A), B); break;
      default: result = vlVectorize(context, f2, A_, B); break;
    }
  } catch (char const* text) {
    thrown.emplace(text);
  }
  CHECK(thrown == expected.thrown, what + ", thrown " + thrown.value_or("nothing") + ", expected " +
                                       expected.thrown.value_or("nothing"));
  if (!thrown) {
    CHECK(g_calls == reference_calls, what + ", " + std::to_string(g_calls) + " calls, expected " + std::to_string(reference_calls));
    compare(result, expected, what);
  }
  g_calls = 0;
  // The operands are the caller's and untouched; everything the call allocated went into the
  // record the host now releases.
  CHECK(a->record.real == a->real.get() && a->record.imag == a->imag.get(), what);
  host().release_all();
  std::int64_t const ours = thrown && thrown->size() >= 16 ? 1 : 0;  // a long text's own block
  CHECK(vellum::faults::live_blocks() == before + ours, what + ", blocks left " + std::to_string(vellum::faults::live_blocks() - before));
  return 0;
}
