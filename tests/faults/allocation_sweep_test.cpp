// Out-of-memory sweeps over every element-wise overload, in the manner of a fault simulator:
// fail the 1st, 2nd, ... allocation of a call — once, and from then on — until the call
// completes without a failure. At every step the call must answer with the out-of-memory record,
// call no scalar function, make no record, and leave no operator new block behind. The list of
// overloads comes from the library's own tables, so an overload added there is swept here.
//
// Then the same calls with the reference host running out of records: it refuses the 1st, 2nd,
// ... record a call asks for, by ending the call (std::bad_alloc leaves the allocator, as when
// its arena is exhausted), and at each such point operator new fails as well from its 1st, 2nd,
// ... allocation. The result arrays went to the host with AllocMatrix, so whatever point the call
// ends at, once the host has reclaimed the call's unfinished records nothing may be left.
#include <functional>
#include <new>

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

  // The host refuses the call's 1st, 2nd, ... record (once, and from then on) until the call
  // completes without a refusal; at each point operator new fails as well from the 1st, 2nd, ...
  // allocation until none is left to fail. A refusal must end the call; a call that was not
  // ended is handed to `answered` with the number of operator new failures. Either way the host
  // then reclaims what the call made, and nothing may be left. Returns the refusal points.
  template <class Result>
  std::size_t sweep_host(std::string const& name, std::function<Result()> const& call,
                         std::function<void(Result, std::size_t)> const& answered) {
    std::size_t points = 0;
    using Repeat = host::HostAllocator::Repeat;
    for (Repeat repeat : {Repeat::Once, Repeat::Persistent})
      for (faults::Mode mode : {faults::Mode::Once, faults::Mode::Persistent})
        for (std::size_t h = 1;; ++h) {
          bool refused = false;
          for (std::size_t n = 0;; ++n) {
            SCOPED_TRACE(testing::Message() << name << ": host ends the call from record " << h << " ("
                                            << name_of(repeat) << "), operator new fails from " << n << " ("
                                            << name_of(mode) << ")");
            if (h > 16 || n > 16) {
              ADD_FAILURE() << "never completed";
              return points;
            }
            g_recorder.reset();
            host.clear_calls();
            std::int64_t live = faults::live_blocks();
            host.refuse_nth(h, repeat);
            faults::arm(n, mode);
            Result result{};
            bool ended = false;
            try {
              result = call();
            } catch (std::bad_alloc const&) {
              ended = true;
            }
            std::size_t refusals = host.refusals();
            std::size_t failures = faults::failures_since_arm();
            faults::disarm();
            host.stop_refusing();
            if (refusals > 0) {
              EXPECT_TRUE(ended) << "the refusal leaves the call";
              EXPECT_EQ(refusals, 1u) << "the first refusal ends the call";
            } else {
              EXPECT_FALSE(ended);
              if (!ended) answered(result, failures);
            }
            host.release_unkept();
            EXPECT_EQ(host.leak_report(), "");
            EXPECT_EQ(faults::live_blocks(), live) << "operator new blocks left";
            if (n == 0) {
              refused = refusals > 0;
              if (!refused) break;  // completed: past the call's last record
              ++points;
            } else if (failures == 0) {
              break;  // past the call's last allocation
            } else {
              ++combined_points_;
            }
          }
          if (!refused) break;
        }
    return points;
  }

  // The operands go before the balance of operator new blocks is taken.
  void TearDown() override {
    std::vector<std::unique_ptr<Operands>>().swap(operands_);
    HostTest::TearDown();
  }

  std::vector<std::unique_ptr<Operands>> operands_;
  std::size_t combined_points_ = 0;  // operator new failures swept with a refusal set up

  // Fails the call's 1st, 2nd, ... operator new allocation (once, and from then on) until the
  // call completes without a failure. `answered` checks (and releases) what the call gave with
  // the number of failures; nothing else may be left. Returns the failure points.
  template <class Result>
  std::size_t sweep_new(std::string const& name, std::function<Result()> const& call,
                        std::function<void(Result, std::size_t)> const& answered) {
    std::size_t points = 0;
    for (faults::Mode mode : {faults::Mode::Once, faults::Mode::Persistent})
      for (std::size_t nth = 1;; ++nth) {
        SCOPED_TRACE(testing::Message() << name << ": operator new fails from " << nth << " (" << name_of(mode) << ")");
        if (nth > 16) {
          ADD_FAILURE() << "never completed";
          break;
        }
        g_recorder.reset();
        host.clear_calls();
        std::int64_t live = faults::live_blocks();
        faults::arm(nth, mode);
        Result result = call();
        std::size_t failures = faults::failures_since_arm();
        faults::disarm();
        answered(result, failures);
        EXPECT_EQ(faults::live_blocks(), live) << "nothing is left allocated";
        if (failures == 0) break;
        ++points;
      }
    return points;
  }
};

TEST_F(AllocationSweep, EveryElementWiseOverload) {
  std::vector<Sweepable> const subjects = element_wise_calls();
  std::size_t points = 0;
  for (Sweepable const& subject : subjects)
    points += sweep_new<Anyval*>(subject.name, subject.call, [&](Anyval* result, std::size_t failures) {
      if (failures == 0) {
        EXPECT_EQ(result->tag, ValueTag::Matrix) << "completes without a failure";
        host.release(result);
        return;
      }
      EXPECT_EQ(result, static_cast<Anyval*>(sError_OutOfMemory));
      EXPECT_EQ(g_recorder.calls, 0u) << "no element is computed";
      EXPECT_EQ(host.calls(30), 0u) << "no record is made";
    });
  std::size_t overloads = table_overloads().size() + 4;
  EXPECT_EQ(overloads, 94u);
  std::printf("swept %zu overloads in %zu calls, %zu failure points\n", overloads, subjects.size(), points);
}

TEST_F(AllocationSweep, EveryElementWiseOverloadWhenTheHostRunsOut) {
  std::vector<Sweepable> const subjects = element_wise_calls();
  std::size_t points = 0;
  for (Sweepable const& subject : subjects)
    points += sweep_host<Anyval*>(subject.name, subject.call, [&](Anyval* result, std::size_t failures) {
      if (failures > 0) {
        EXPECT_EQ(result, static_cast<Anyval*>(sError_OutOfMemory));
        EXPECT_EQ(host.calls(30), 0u) << "no record is asked for";
      } else {
        EXPECT_EQ(result->tag, ValueTag::Matrix) << "completes without a failure";
      }
    });
  EXPECT_EQ(points, 4 * subjects.size()) << "one record per call, in all four modes";
  std::printf("swept %zu calls, %zu host refusal points, %zu combined with operator new failures\n", subjects.size(),
              points, combined_points_);
}

}  // namespace
}  // namespace vellum::test

namespace vellum::test {
namespace {

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
  }
  aMatrix *a = nullptr, *b = nullptr, *v = nullptr, *tri = nullptr;
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
  };
};

TEST_F(NumericsSweep, EveryNumericsOperationThatBuildsAResult) {
  std::size_t points = 0;
  for (Operation const& operation : operations)
    points += sweep_new<char const*>(operation.name, operation.call, [&](char const* text, std::size_t) {
      if (text == nullptr) {
        // Done: without a failure, or past one the operation can do without (the product's
        // packing buffer, whose absence only makes it slower). The result's arrays go with it.
        EXPECT_EQ(host.calls(30), 1u);
        host.release(out);
        return;
      }
      EXPECT_STREQ(text, "out of memory");
      EXPECT_EQ(host.calls(30), 0u) << "no result record";
    });
  std::printf("swept %zu numerics operations, %zu failure points\n", std::size(operations), points);
}

// When the host runs out, the result's record is the only one asked for; the joins, which build
// their result however many of its arrays could be had, are swept here as well.
TEST_F(NumericsSweep, EveryNumericsOperationThatBuildsAResultWhenTheHostRunsOut) {
  aMatrix* c = matrix(3, 2, true);
  auto joined = [](bool done) { return done ? nullptr : "reported failure"; };
  std::vector<Operation> all = operations;
  all.push_back({"pack_two_r", [=, this] { return joined(pack_two_r(context, a, b, &out)); }});
  all.push_back({"pack_two_rr", [=, this] { return joined(pack_two_rr(context, a, b, &out)); }});
  all.push_back({"pack_three_r", [=, this] { return joined(pack_three_r(context, a, b, c, &out)); }});
  all.push_back({"pack_three_c", [=, this] { return joined(pack_three_c(context, a, b, c, &out)); }});
  std::size_t points = 0;
  for (Operation const& operation : all)
    points += sweep_host<char const*>(operation.name, operation.call, [&](char const* text, std::size_t failures) {
      if (text) {
        EXPECT_GT(failures, 0u);
        EXPECT_STREQ(text, "out of memory");
        EXPECT_EQ(host.calls(30), 0u) << "no result record";
      } else {
        EXPECT_EQ(host.calls(30), 1u);
        EXPECT_TRUE(host.is_record(out));
      }
    });
  EXPECT_EQ(points, 4 * all.size()) << "one record per call, in all four modes";
  std::printf("swept %zu numerics operations, %zu host refusal points, %zu combined with operator new failures\n",
              all.size(), points, combined_points_);
}

}  // namespace
}  // namespace vellum::test
