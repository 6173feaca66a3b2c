// Every element-wise overload, driven through the library's own tables and checked against the
// expectations transcribed independently in expectations.h.
#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "tests/support/test_support.h"
#include "tests/vectorize/expectations.h"
#include "tests/vectorize/operands.h"
#include "tests/vectorize/overload_registry.h"

namespace vellum::test {
namespace {

// Built before the first test, so that no test pays for it in its operator new balance.
std::map<std::string, Overload const*> const by_signature = [] {
  std::map<std::string, Overload const*> map;
  for (Overload const& o : table_overloads()) map[o.signature] = &o;
  return map;
}();

Overload const& overload(std::string const& signature) {
  auto it = by_signature.find(signature);
  if (it == by_signature.end()) throw std::logic_error("no overload " + signature);
  return *it->second;
}

TEST(OverloadTables, HoldExactlyTheExpectedRows) {
  std::set<std::string> kernels, dispatching;
  for (Overload const& o : table_overloads()) (o.dispatching ? dispatching : kernels).insert(o.signature);
  std::set<std::string> expected_kernels, expected_dispatching;
  for (auto const& e : kKernelExpectations) expected_kernels.insert(e.signature);
  for (auto const& e : kDispatchExpectations) expected_dispatching.insert(e.signature);
  for (auto const& e : kPairDispatchExpectations) expected_dispatching.insert(e.signature);
  EXPECT_EQ(kernels, expected_kernels);
  EXPECT_EQ(dispatching, expected_dispatching);
  EXPECT_EQ(table_overloads().size(), kernels.size() + dispatching.size()) << "a row stands twice";

  std::size_t nc = 0, total = table_overloads().size() + kSpecialSignatures.size();
  for (Overload const& o : table_overloads()) nc += o.signature.rfind("vlNcVectorize", 0) == 0;
  EXPECT_EQ(total, 94u);
  EXPECT_EQ(nc, 19u);
}

// ---------------------------------------------------------------------------------------------
// What a call did

struct ResultArrays {
  bool has_real = false, has_imag = false;
  std::vector<std::uint64_t> real, imag;
};

ResultArrays expected_arrays(Rule rule, std::size_t n) {
  ResultArrays e;
  bool all_real_zero = true, all_imag_zero = true;
  for (std::size_t k = 0; k < n; ++k) {
    scalar_val a = g_recorder.answer(k);
    e.real.push_back(bits(a.real));
    e.imag.push_back(bits(a.imag));
    all_real_zero = all_real_zero && a.real == 0.0;
    all_imag_zero = all_imag_zero && a.imag == 0.0;
  }
  switch (rule) {
    case Rule::Real: e.has_real = true; break;
    case Rule::Full: e.has_real = e.has_imag = true; break;
    case Rule::Trimmed:
      e.has_real = !(all_real_zero && !all_imag_zero);
      e.has_imag = !all_imag_zero;
      break;
  }
  if (!e.has_real) e.real.clear();
  if (!e.has_imag) e.imag.clear();
  return e;
}

ResultArrays arrays_of(aMatrix const* m) {
  ResultArrays r;
  std::size_t n = static_cast<std::size_t>(m->rows) * static_cast<std::size_t>(m->cols);
  r.has_real = m->real != nullptr;
  r.has_imag = m->imag != nullptr;
  for (std::size_t k = 0; r.has_real && k < n; ++k) r.real.push_back(bits(m->real[k]));
  for (std::size_t k = 0; r.has_imag && k < n; ++k) r.imag.push_back(bits(m->imag[k]));
  return r;
}

bool operator==(ResultArrays const& a, ResultArrays const& b) {
  return a.has_real == b.has_real && a.has_imag == b.has_imag && a.real == b.real && a.imag == b.imag;
}
std::ostream& operator<<(std::ostream& out, ResultArrays const& r) {
  return out << "{real " << (r.has_real ? std::to_string(r.real.size()) : "absent") << ", imag "
             << (r.has_imag ? std::to_string(r.imag.size()) : "absent") << "}";
}

std::string test_name(std::string signature) {
  for (char& c : signature)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return signature;
}

// ---------------------------------------------------------------------------------------------
// Typed kernels

class TypedKernel : public HostTest, public testing::WithParamInterface<KernelExpectation> {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    g_recorder.reset();
  }
  Overload const& subject() const { return overload(GetParam().signature); }
  Operands operands() {
    auto const& types = subject().operands;
    return Operands(host, types, typed_kinds(types), typed_scalars(types));
  }
  // The array operands' indices.
  std::vector<std::size_t> arrays() const {
    std::vector<std::size_t> indices;
    for (std::size_t k = 0; k < subject().operands.size(); ++k)
      if (!is_scalar_type(subject().operands[k])) indices.push_back(k);
    return indices;
  }
  bool vector_kernel() const { return is_vector_type(subject().operands[arrays()[0]]); }
  std::size_t element_count() const { return vector_kernel() ? 3 : 6; }
};

TEST_P(TypedKernel, CallsOncePerElementInStorageOrderAndKeepsThePartsItsRuleKeeps) {
  KernelExpectation const& e = GetParam();
  Operands ops = operands();
  struct Mode {
    bool real, imag;
  };
  for (Mode mode : {Mode{true, true}, Mode{false, true}, Mode{true, false}, Mode{false, false}}) {
    SCOPED_TRACE(testing::Message() << "answers real " << mode.real << ", imag " << mode.imag);
    g_recorder.reset();
    g_recorder.real_part = mode.real;
    g_recorder.imag_part = mode.imag;
    host.clear_calls();
    auto* m = static_cast<aMatrix*>(subject().invoke(context, ops.data()));
    ASSERT_EQ(m->tag, ValueTag::Matrix);

    std::size_t n = element_count();
    ASSERT_EQ(g_recorder.calls, n);
    std::size_t call = 0;
    for (int j = 0; j < (vector_kernel() ? 1 : 2); ++j)
      for (int i = 0; i < 3; ++i, ++call)
        for (std::size_t k = 0; k < ops.size(); ++k) {
          scalar_val want = ops.input(k, subject().operands[k], i, j);
          EXPECT_EQ(bits(g_recorder.inputs[call][k].real), bits(want.real)) << "call " << call << " operand " << k;
          EXPECT_EQ(bits(g_recorder.inputs[call][k].imag), bits(want.imag)) << "call " << call << " operand " << k;
        }

    EXPECT_EQ(m->rows, 3);
    EXPECT_EQ(m->cols, vector_kernel() ? 1 : 2);
    EXPECT_EQ(m->ld, 3) << "results are compact";
    EXPECT_EQ(m->size, n * 8);
    EXPECT_EQ(arrays_of(m), expected_arrays(e.rule, n));
    EXPECT_EQ(host.calls(30), 1u);
    host.release(m);
  }
}

TEST_P(TypedKernel, BuffersOrBuildsTheRecordFirstAsItsSkeletonSays) {
  Operands ops = operands();
  host.clear_calls();
  g_recorder.throw_at = 1;
  EXPECT_THROW(subject().invoke(context, ops.data()), std::runtime_error);
  EXPECT_EQ(g_recorder.calls, 1u);
  // A buffered kernel has made no record yet and freed its scratch arrays (TearDown checks the
  // balance); a direct one leaves its record to the host.
  EXPECT_EQ(host.calls(30), GetParam().skeleton == Skel::Direct ? 1u : 0u);
}

TEST_P(TypedKernel, StopsAtANestedCellOfAnOperandWhoseRealPartsItReads) {
  KernelExpectation const& e = GetParam();
  std::vector<std::size_t> indices = arrays();
  for (std::size_t k : indices) {
    Operands ops = operands();
    aMatrix* m = ops.array(k);
    bool reads_real = kind_of_view(subject().operands[k]) != 'I';
    int position = static_cast<int>(k) + 1;
    if (indices.size() == 1) {
      EXPECT_EQ(e.nested, reads_real ? position : 0) << "the nested-cell text names the array operand";
    }
    double nested = make_nested_cell(m);  // any record will do
    for (int element : {1, 0}) {
      SCOPED_TRACE(testing::Message() << "operand " << position << " element " << element);
      g_recorder.reset();
      host.clear_calls();
      double* target = reads_real ? m->real : m->imag;
      double saved = target[element];
      target[element] = nested;
      Anyval* result = nullptr;
      char const* text = thrown_text([&] { result = subject().invoke(context, ops.data()); });
      target[element] = saved;
      if (reads_real) {
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text), std::to_string(position) + ".may not be nested");
        EXPECT_EQ(g_recorder.calls, static_cast<std::size_t>(element)) << "no call for the nested element";
        EXPECT_EQ(host.calls(30), e.skeleton == Skel::Direct ? 1u : 0u);
      } else {
        EXPECT_EQ(text, nullptr) << "imaginary parts are never tested";
        EXPECT_EQ(bits(g_recorder.inputs[element][k].imag), bits(nested)) << "and are read as numbers";
        host.release(result);
      }
    }
  }
}

class PairKernel : public TypedKernel {};

TEST_P(PairKernel, ChecksTheShapesBeforeAnythingElse) {
  Operands ops = operands();
  Overload const& call = subject();
  aMatrix* second = ops.array(1);
  int const rows = second->rows, cols = second->cols;
  // Vectors compare rows only (their column counts differ already); matrices rows and columns.
  std::vector<std::pair<int, int>> shapes = {{4, cols}, {2, cols}};
  if (!vector_kernel()) shapes.push_back({3, 1});
  for (auto [r, c] : shapes) {
    SCOPED_TRACE(testing::Message() << "second operand " << r << " x " << c);
    second->rows = r;
    second->cols = c;
    g_recorder.reset();
    host.clear_calls();
    faults::count_only();
    char const* text = thrown_text([&] { call.invoke(context, ops.data()); });
    std::size_t allocations = faults::allocations_since_arm();
    faults::disarm();
    second->rows = rows;
    second->cols = cols;
    EXPECT_STREQ(text, "array size mismatch");
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(g_recorder.calls, 0u);
    EXPECT_EQ(host.calls(30), 0u);
  }
}

std::vector<KernelExpectation> pair_expectations() {
  std::vector<KernelExpectation> pairs;
  for (KernelExpectation const& e : kKernelExpectations) {
    auto const& types = overload(e.signature).operands;
    if (types.size() == 2 && !is_scalar_type(types[0]) && !is_scalar_type(types[1])) pairs.push_back(e);
  }
  return pairs;
}

auto const kNameFromSignature = [](auto const& info) { return test_name(info.param.signature); };
INSTANTIATE_TEST_SUITE_P(Every, TypedKernel, testing::ValuesIn(kKernelExpectations), kNameFromSignature);
INSTANTIATE_TEST_SUITE_P(Every, PairKernel, testing::ValuesIn(pair_expectations()), kNameFromSignature);

// ---------------------------------------------------------------------------------------------
// Dispatching overloads: the same calls, inputs, result and host calls as the typed overload
// the expectation names.

struct CallRecord {
  std::vector<std::uint64_t> inputs;
  ResultArrays result;
  int rows = 0, cols = 0;
  std::vector<int> host_calls;
  bool operator==(CallRecord const&) const = default;
};

class Dispatch : public HostTest {
 protected:
  CallRecord run(std::string const& signature, Operands const& ops) {
    g_recorder.reset();
    host.clear_calls();
    auto* m = static_cast<aMatrix*>(overload(signature).invoke(context, ops.data()));
    CallRecord r;
    for (std::size_t c = 0; c < g_recorder.calls; ++c)
      for (std::size_t k = 0; k < g_recorder.arity; ++k) {
        r.inputs.push_back(bits(g_recorder.inputs[c][k].real));
        r.inputs.push_back(bits(g_recorder.inputs[c][k].imag));
      }
    r.result = arrays_of(m);
    r.rows = m->rows;
    r.cols = m->cols;
    r.host_calls.assign(host.call_log().begin(), host.call_log().end());
    host.release(m);
    return r;
  }
  void expect_same(std::string const& dispatcher, std::string const& target, Operands const& ops) {
    SCOPED_TRACE(dispatcher + " -> " + target);
    CallRecord got = run(dispatcher, ops);
    CallRecord want = run(target, ops);
    EXPECT_FALSE(want.inputs.empty());
    EXPECT_EQ(got.inputs, want.inputs);
    EXPECT_EQ(got.result, want.result);
    EXPECT_EQ(got.rows, want.rows);
    EXPECT_EQ(got.cols, want.cols);
    EXPECT_EQ(got.host_calls, want.host_calls);
  }
};

TEST_F(Dispatch, OneArrayWithScalarsGoesToTheKernelOfItsKindAndScalars) {
  for (DispatchExpectation const& e : kDispatchExpectations) {
    std::vector<std::string> const& types = overload(e.signature).operands;
    struct Outcome {
      char kind;
      bool pure;
      char const* target;
    };
    std::vector<Outcome> outcomes = {{'R', true, e.real_pure}, {'I', false, e.imag}, {'C', false, e.other}};
    if (*e.real_not_pure) outcomes.push_back({'R', false, e.real_not_pure});
    for (Outcome const& o : outcomes) {
      std::vector<char> kinds;
      std::vector<aComplex> scalars;
      std::size_t last_scalar = 0;
      for (std::size_t k = 0; k < types.size(); ++k) {
        kinds.push_back(is_scalar_type(types[k]) ? 'S' : o.kind);
        // Pure scalars have a zero (the first one a negative zero) imaginary part.
        scalars.push_back(complex_record(k + 1.5, k == 0 ? -0.0 : 0.0));
        if (is_scalar_type(types[k])) last_scalar = k;
      }
      if (!o.pure) scalars[last_scalar].imag = 1.0;  // one scalar that is not pure is enough
      Operands ops(host, types, kinds, scalars);
      for (std::size_t k = 0; k < types.size(); ++k)
        if (types[k] == "aVector") ops.array(k)->cols = 1;  // the vector predicates want one column
      expect_same(e.signature, o.target, ops);
    }
  }
}

TEST_F(Dispatch, PairsClassifyTheirGenericOperandsAndKeepTypedOnesAsDeclared) {
  char const* kinds = "RIC";
  auto name_of = [](char kind) { return kind == 'R' ? "Real" : kind == 'I' ? "Imag" : "Cplx"; };
  for (PairDispatchExpectation const& e : kPairDispatchExpectations) {
    std::vector<std::string> const& types = overload(e.signature).operands;
    bool vectors = is_vector_type(types[0]);
    std::string classified = e.classified;
    for (char first : std::string(kinds))
      for (char second : std::string(kinds)) {
        // A typed operand has the kind of its view; a generic one takes every kind in turn.
        char k1 = types[0] == "aVector" || types[0] == "aMatrix" ? first : kind_of_view(types[0]);
        char k2 = types[1] == "aVector" || types[1] == "aMatrix" ? second : kind_of_view(types[1]);
        if ((classified == "first" && second != 'R') || (classified == "second" && first != 'R')) continue;
        EXPECT_EQ(classified == "both" || classified == "first", types[0] == "aVector" || types[0] == "aMatrix");
        std::string target = std::string("vlVectorize(a") + name_of(k1) + (vectors ? "Vec" : "Matrix") + ", a" +
                             name_of(k2) + (vectors ? "Vec" : "Matrix") + ")";
        Operands ops(host, types, {k1, k2}, {complex_record(0, 0), complex_record(0, 0)});
        if (vectors) {
          ops.array(0)->cols = 1;  // vector predicates need one column
          ops.array(1)->cols = 1;
        }
        expect_same(e.signature, target, ops);
      }
  }
}

TEST_F(Dispatch, UnusualRecordsGoWhereTheirColumnsTagAndPartsSay) {
  // Several columns passed as a vector: complex, and only the first column is read.
  Operands wide(host, {"aVector"}, {'R'}, {});
  ASSERT_EQ(wide.array(0)->cols, 2);
  expect_same("vlVectorize(aVector)", "vlVectorize(aCplxVec)", wide);
  EXPECT_EQ(g_recorder.calls, 3u);

  // A scalar record whose tag is not 2 is never pure.
  aComplex odd = complex_record(2.0, 0.0);
  odd.tag = ValueTag::String;
  Operands scalar(host, {"aComplex", "aVector"}, {'S', 'R'}, {odd, {}});
  scalar.array(1)->cols = 1;
  expect_same("vlVectorize(aComplex, aVector)", "vlNcVectorize(aComplex, aRealVec)", scalar);

  // A record with neither array is real, and reads as zeros.
  Operands partless(host, {"aMatrix"}, {'R'}, {});
  aMatrix* m = partless.array(0);
  double* real = m->real;
  m->real = nullptr;
  expect_same("vlNcVectorize(aMatrix)", "vlNcVectorize(aRealMatrix)", partless);
  for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(bits(g_recorder.inputs[k][0].real), 0u);
  m->real = real;
}

}  // namespace
}  // namespace vellum::test
