// Out-of-memory sweeps over every element-wise overload, in the manner of a fault simulator:
// fail the 1st, 2nd, ... allocation of a call — once, and from then on — until the call
// completes without a failure. At every step the call must answer with the out-of-memory record,
// call no scalar function, make no record, and leave no operator new block behind. The list of
// overloads comes from the library's own tables, so an overload added there is swept here.
#include <functional>

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
  // Sweeps one call in both modes; returns the number of failure points tried.
  std::size_t sweep(Sweepable const& subject) {
    std::size_t points = 0;
    for (faults::Mode mode : {faults::Mode::Once, faults::Mode::Persistent}) {
      for (std::size_t nth = 1;; ++nth) {
        SCOPED_TRACE(testing::Message() << subject.name << (mode == faults::Mode::Once ? " once" : " persistent")
                                        << " from allocation " << nth);
        if (nth > 16) {
          ADD_FAILURE() << "never completed";
          break;
        }
        g_recorder.reset();
        host.clear_calls();
        std::int64_t live = faults::live_blocks();
        faults::arm(nth, mode);
        Anyval* result = subject.call();
        std::size_t failures = faults::failures_since_arm();
        faults::disarm();
        if (failures == 0) {
          EXPECT_EQ(result->tag, ValueTag::Matrix) << "completes without a failure";
          host.release(result);
          break;
        }
        ++points;
        EXPECT_EQ(result, static_cast<Anyval*>(sError_OutOfMemory));
        EXPECT_EQ(g_recorder.calls, 0u) << "no element is computed";
        EXPECT_EQ(host.calls(30), 0u) << "no record is made";
        EXPECT_EQ(faults::live_blocks(), live) << "nothing is left allocated";
      }
    }
    return points;
  }
};

TEST_F(AllocationSweep, EveryElementWiseOverload) {
  std::vector<Sweepable> subjects;
  std::vector<std::unique_ptr<Operands>> keep;
  for (Overload const& o : table_overloads()) {
    // Generic operands as real, imaginary and complex records in turn, so that every branch of
    // a dispatching overload is swept too.
    for (char kind : std::string(o.dispatching ? "RIC" : "-")) {
      std::vector<char> kinds = typed_kinds(o.operands);
      for (std::size_t k = 0; k < kinds.size(); ++k)
        if (o.operands[k] == "aVector" || o.operands[k] == "aMatrix") kinds[k] = kind;
      keep.push_back(std::make_unique<Operands>(host, o.operands, kinds, typed_scalars(o.operands)));
      for (std::size_t k = 0; k < o.operands.size(); ++k)
        if (o.operands[k] == "aVector") keep.back()->array(k)->cols = 1;
      Operands const* ops = keep.back().get();
      subjects.push_back({o.signature + " " + kind, [this, &o, ops] { return o.invoke(context, ops->data()); }});
    }
  }
  // The four overloads written by hand.
  aString* given = aString::mk(allocator, "given");
  aMatrix* strings = host::make_matrix(allocator, {2, 1, std::vector<double>{make_nested_cell(given), make_nested_cell(given)}, std::nullopt, 0});
  aMatrix* numbers = host::make_matrix(allocator, {2, 1, std::vector<double>{1, 2}, std::vector<double>{3, 4}, 0});
  for (Anyval* record : {static_cast<Anyval*>(given), static_cast<Anyval*>(strings), static_cast<Anyval*>(numbers)})
    host.keep(record);
  auto* s = view_as<aVector>(strings);
  auto* v = view_as<aVector>(numbers);
  subjects.push_back({"vlVectorize(aString, aVector)", [&] { return vlVectorize(context, record_strings, given, s); }});
  subjects.push_back({"vlVectorize(aVector, aString)", [&] { return vlVectorize(context, record_strings, s, given); }});
  subjects.push_back({"vlVectorize(numeric, string, aVector, aVector)",
                      [&] { return vlVectorize(context, record<scalar_val, scalar_val>, record_strings, v, v); }});
  subjects.push_back({"vlVectorize(aMatrix, aMatrix, aMatrix, aVector)", [&] {
                        return vlVectorize(context, [](scalar_val& r, EfiCallContext*, aMatrix*, aMatrix*, aMatrix*,
                                                       scalar_val const& x) { r = x; }, nullptr, nullptr, nullptr, v);
                      }});

  std::size_t points = 0;
  for (Sweepable const& subject : subjects) points += sweep(subject);
  std::size_t overloads = table_overloads().size() + 4;
  EXPECT_EQ(overloads, 94u);
  std::printf("swept %zu overloads in %zu calls, %zu failure points\n", overloads, subjects.size(), points);
}

}  // namespace
}  // namespace vellum::test

namespace vellum::test {
namespace {

// The numerics operations that build a result report exhaustion as the text "out of memory" and
// build no result; the same sweep applies, with their text in place of the record.
TEST_F(AllocationSweep, EveryNumericsOperationThatBuildsAResult) {
  auto matrix = [&](int rows, int cols, bool complex) {
    std::vector<double> re, im;
    for (int k = 0; k < rows * cols; ++k) {
      re.push_back(k + 1.5);
      im.push_back(k % 3 - 1.0);
    }
    aMatrix* m = host::make_matrix(allocator, {rows, cols, re, complex ? std::optional(im) : std::nullopt, rows + 1});
    host.keep(m);
    return m;
  };
  aMatrix* a = matrix(3, 3, true);
  aMatrix* b = matrix(3, 3, false);
  aMatrix* v = matrix(3, 1, false);
  aMatrix* tri = matrix(6, 1, false);
  aMatrix* out = nullptr;
  struct Operation {
    char const* name;
    std::function<char const*()> call;
  };
  Operation const operations[] = {
      {"MMprod", [&] { return MMprod(context, a, b, &out); }},
      {"MVprod", [&] { return MVprod(context, b, view_as<aVector>(v), reinterpret_cast<aVector**>(&out)); }},
      {"Vcopy", [&] { return Vcopy(context, view_as<aVector>(v), reinterpret_cast<aVector**>(&out)); }},
      {"Mtrans", [&] { return Mtrans(context, a, &out); }},
      {"Mvector", [&] { return Mvector(context, 2.0, a, -1.0, b, &out); }},
      {"matrix_copy", [&] { return matrix_copy(context, a, &out); }},
      {"matrix_copy_add_imag", [&] { return matrix_copy_add_imag(context, b, &out); }},
      {"lower_matrix_2_vector", [&] { return lower_matrix_2_vector(context, b, reinterpret_cast<aVector**>(&out)); }},
      {"vector_2_lower_matrix", [&] { return vector_2_lower_matrix(context, view_as<aVector>(tri), &out); }},
  };
  std::size_t points = 0;
  for (Operation const& operation : operations) {
    for (faults::Mode mode : {faults::Mode::Once, faults::Mode::Persistent}) {
      for (std::size_t nth = 1; nth <= 16; ++nth) {
        SCOPED_TRACE(testing::Message() << operation.name << (mode == faults::Mode::Once ? " once" : " persistent")
                                        << " from allocation " << nth);
        host.clear_calls();
        std::int64_t live = faults::live_blocks();
        faults::arm(nth, mode);
        char const* text = operation.call();
        std::size_t failures = faults::failures_since_arm();
        faults::disarm();
        ++points;
        if (text == nullptr) {
          // Done: without a failure, or past one the operation can do without (the product's
          // packing buffer, whose absence only makes it slower).
          EXPECT_EQ(host.calls(30), 1u);
          host.release(out);
          EXPECT_EQ(faults::live_blocks(), live) << "the result's arrays went with it";
          if (failures == 0) {
            --points;
            break;
          }
          continue;
        }
        EXPECT_STREQ(text, "out of memory");
        EXPECT_EQ(host.calls(30), 0u) << "no result record";
        EXPECT_EQ(faults::live_blocks(), live) << "nothing is left allocated";
        ASSERT_LT(nth, 16u) << "never completed";
      }
    }
  }
  std::printf("swept %zu numerics operations, %zu failure points\n", std::size(operations), points);
}

}  // namespace
}  // namespace vellum::test
