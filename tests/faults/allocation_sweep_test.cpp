// Out-of-memory sweeps (tests/support/sweep.h) over every element-wise overload, taken from the
// library's own tables so that an overload added there is swept here, and over the numerics
// operations that build a result.
#include <functional>
#include <new>

#include "tests/support/sweep.h"
#include "tests/support/test_support.h"
#include "tests/vectorize/operands.h"
#include "tests/vectorize/overload_registry.h"

namespace vellum::test {
namespace {

// Made before the first test, so that the test's operator new balance does not include it.
[[maybe_unused]] std::vector<Overload> const& kOverloads = table_overloads();

// One swept call: makes its own result from operands made beforehand.
struct Sweepable {
  std::string name;
  std::function<Anyval*()> call;
};

class AllocationSweep : public HostTest {
 protected:
  // Every element-wise overload with operands made beforehand (kept by the host).
  std::vector<Sweepable> element_wise_calls() {
    std::vector<Sweepable> subjects;
    for (Overload const& o : table_overloads()) {
      // Generic operands as real, imaginary and complex records in turn, so that every branch of
      // a dispatching overload is swept too.
      for (char kind : std::string(o.dispatching ? "RIC" : "-")) {
        std::vector<char> kinds = typed_kinds(o.operands);
        for (std::size_t k = 0; k < kinds.size(); ++k)
          if (o.operands[k] == "aVector" || o.operands[k] == "aMatrix") kinds[k] = kind;
        operands_.push_back(std::make_unique<Operands>(host, o.operands, kinds, typed_scalars(o.operands)));
        for (std::size_t k = 0; k < o.operands.size(); ++k)
          if (o.operands[k] == "aVector") operands_.back()->array(k)->cols = 1;
        Operands const* ops = operands_.back().get();
        subjects.push_back({o.signature + " " + kind, [this, &o, ops] { return o.invoke(context, ops->data()); }});
      }
    }
    // The four overloads written by hand.
    aString* given = aString::mk(allocator, "given");
    aMatrix* strings = host::make_matrix(
        allocator, {2, 1, std::vector<double>{make_nested_cell(given), make_nested_cell(given)}, std::nullopt, 0});
    aMatrix* numbers = host::make_matrix(allocator, {2, 1, std::vector<double>{1, 2}, std::vector<double>{3, 4}, 0});
    for (Anyval* record : {static_cast<Anyval*>(given), static_cast<Anyval*>(strings), static_cast<Anyval*>(numbers)})
      host.keep(record);
    auto* s = view_as<aVector>(strings);
    auto* v = view_as<aVector>(numbers);
    subjects.push_back(
        {"vlVectorize(aString, aVector)", [=, this] { return vlVectorize(context, record_strings, given, s); }});
    subjects.push_back(
        {"vlVectorize(aVector, aString)", [=, this] { return vlVectorize(context, record_strings, s, given); }});
    subjects.push_back({"vlVectorize(numeric, string, aVector, aVector)", [=, this] {
                          return vlVectorize(context, record<scalar_val, scalar_val>, record_strings, v, v);
                        }});
    subjects.push_back({"vlVectorize(aMatrix, aMatrix, aMatrix, aVector)", [=, this] {
                          return vlVectorize(context, [](scalar_val& r, EfiCallContext*, aMatrix*, aMatrix*, aMatrix*,
                                                         scalar_val const& x) { r = x; }, nullptr, nullptr, nullptr, v);
                        }});
    return subjects;
  }

  // The operands go before the balance of operator new blocks is taken.
  void TearDown() override {
    std::vector<std::unique_ptr<Operands>>().swap(operands_);
    HostTest::TearDown();
  }

  std::vector<std::unique_ptr<Operands>> operands_;
};

// Operator new failing: the out-of-memory record, no element computed, no record asked for.
// The host running out: the call ends there (the sweep's own check).
TEST_F(AllocationSweep, EveryElementWiseOverload) {
  std::vector<Sweepable> const subjects = element_wise_calls();
  for (Sweepable const& subject : subjects) {
    Anyval* result = nullptr;
    SweepPoints points = sweep(
        subject.name,
        [&] {
          g_recorder.reset();
          result = subject.call();
        },
        [&](Step const& step) {
          if (step.completed()) {
            EXPECT_EQ(result->tag, ValueTag::Matrix);
          } else if (!step.ended) {
            EXPECT_EQ(result, static_cast<Anyval*>(sError_OutOfMemory));
            EXPECT_EQ(g_recorder.calls, 0u) << "no element is computed";
            EXPECT_EQ(host.calls(30), 0u) << "no record is asked for";
          }
        },
        {&host});
    EXPECT_EQ(points.host, 4u) << subject.name << ": one record, in all four modes";
  }
  EXPECT_EQ(table_overloads().size() + 4, 94u);
}

// The numerics operations that build a result report exhaustion as the text "out of memory" and
// build no result; the same sweep applies, with their text in place of the record.
struct Operation {
  char const* name;
  std::function<char const*()> call;
};

class NumericsSweep : public AllocationSweep {
 protected:
  aMatrix* matrix(int rows, int cols, bool complex) {
    std::vector<double> re, im;
    for (int k = 0; k < rows * cols; ++k) {
      re.push_back(k + 1.5);
      im.push_back(k % 3 - 1.0);
    }
    aMatrix* m = host::make_matrix(allocator, {rows, cols, re, complex ? std::optional(im) : std::nullopt, rows + 1});
    host.keep(m);
    return m;
  }
  // Made in the test, so that releasing them balances the test's operator new count.
  void SetUp() override {
    AllocationSweep::SetUp();
    a = matrix(3, 3, true);
    b = matrix(3, 3, false);
    v = matrix(3, 1, false);
    tri = matrix(6, 1, false);
    c = matrix(3, 2, true);
  }
  aMatrix *a = nullptr, *b = nullptr, *c = nullptr, *v = nullptr, *tri = nullptr;
  aMatrix* out = nullptr;
  // The operations that build a result and answer "out of memory" when an array cannot be had.
  std::vector<Operation> const operations = {
      {"MMprod", [this] { return MMprod(context, a, b, &out); }},
      {"MVprod", [this] { return MVprod(context, b, view_as<aVector>(v), reinterpret_cast<aVector**>(&out)); }},
      {"Vcopy", [this] { return Vcopy(context, view_as<aVector>(v), reinterpret_cast<aVector**>(&out)); }},
      {"Mtrans", [this] { return Mtrans(context, a, &out); }},
      {"Mvector", [this] { return Mvector(context, 2.0, a, -1.0, b, &out); }},
      {"matrix_copy", [this] { return matrix_copy(context, a, &out); }},
      {"matrix_copy_add_imag", [this] { return matrix_copy_add_imag(context, b, &out); }},
      {"lower_matrix_2_vector",
       [this] { return lower_matrix_2_vector(context, b, reinterpret_cast<aVector**>(&out)); }},
      {"vector_2_lower_matrix", [this] { return vector_2_lower_matrix(context, view_as<aVector>(tri), &out); }},
      {"pack_two_r", [this] { return joined(pack_two_r(context, a, b, &out)); }},
      {"pack_two_rr", [this] { return joined(pack_two_rr(context, a, b, &out)); }},
      {"pack_three_r", [this] { return joined(pack_three_r(context, a, b, c, &out)); }},
      {"pack_three_c", [this] { return joined(pack_three_c(context, a, b, c, &out)); }},
  };
  static char const* joined(bool done) { return done ? nullptr : "reported failure"; }
};

// Done: without a failure, or past one the operation can do without (the product's packing
// buffer, whose absence only makes it slower); else "out of memory" and no result record. The
// joins build their result however many of its arrays could be had: they fail only when the host
// runs out.
TEST_F(NumericsSweep, EveryNumericsOperationThatBuildsAResult) {
  for (Operation const& operation : operations) {
    char const* text = nullptr;
    SweepPoints points = sweep(
        operation.name, [&] { text = operation.call(); },
        [&](Step const& step) {
          if (step.ended) return;
          if (text == nullptr) {
            EXPECT_EQ(host.calls(30), 1u);
            EXPECT_TRUE(host.is_record(out));
          } else {
            EXPECT_GT(step.failures, 0u);
            EXPECT_STREQ(text, "out of memory");
            EXPECT_EQ(host.calls(30), 0u) << "no result record";
          }
        },
        {&host});
    EXPECT_EQ(points.host, 4u) << operation.name << ": one record, in all four modes";
  }
}

}  // namespace
}  // namespace vellum::test
