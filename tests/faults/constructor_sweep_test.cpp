// Out-of-memory sweeps over every constructor of host records, in the manner of a fault
// simulator: the reference host refuses the 1st, 2nd, ... record a call asks for - once, and
// from then on - until the call completes without a refusal; and at every such point, and with
// no refusal at all, the call's 1st, 2nd, ... operator new allocation fails as well (once, and
// from then on) until none is left to fail.
//
// How a host refuses decides what a constructor has to survive. This host runs out by ending
// the call: std::bad_alloc leaves the allocator operation, as when its arena is exhausted. The
// constructors test nothing and catch nothing, so the exception leaves them; what they had
// already obtained from the host is the host's to reclaim (release_unkept, as after any call
// that ends by throwing), and part arrays handed over with AllocMatrix went to the host with the
// call. Either way nothing may be left: no record, no part array, no operator new block.
//
// A host that returns without a record is another matter. Only aComponent::mk is written to
// survive that (it answers null); for every other constructor a missing record is not a
// supported outcome - it writes the tag through the null pointer - so none of them is swept
// that way.
#include <functional>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

using Host = host::HostAllocator;

struct Constructor {
  std::string name;
  std::function<void*()> make;
  // Records a completed call has made: its result and the records the result refers to (an
  // error's message, the name made of a text, a big complex's pair and number, a deep copy's
  // nested copies). The three kinds the host makes on the heap are not counted.
  std::size_t records = 1;
  // Run before every call, outside the counts: makes the part arrays the call hands over.
  std::function<void()> prepare = nullptr;
  // Global, GlobalList and GlobalsDEQ records go back with del.
  std::function<void(void*)> dispose = nullptr;
  // The call allocates with operator new itself (or the host does, for it).
  bool uses_operator_new = false;
  // Answers null when the host returns without a record.
  bool survives_no_record = false;
};

// The allocator operations the library calls: every MAKE and CALL row of the table.
std::set<int> table_operations() {
  std::set<int> positions;
#define VELLUM_SWEEP_HOST(position)
#define VELLUM_SWEEP_MAKE(position, name, Record) positions.insert(position);
#define VELLUM_SWEEP_CALL(position, name, params) positions.insert(position);
  VELLUM_ALLOCATOR_SLOTS(VELLUM_SWEEP_HOST, VELLUM_SWEEP_MAKE, VELLUM_SWEEP_CALL)
#undef VELLUM_SWEEP_HOST
#undef VELLUM_SWEEP_MAKE
#undef VELLUM_SWEEP_CALL
  return positions;
}

class ConstructorSweep : public HostTest {
 protected:
  // What one call under one setting failed.
  struct Outcome {
    std::size_t refusals = 0;
    std::size_t failures = 0;
    std::size_t asked = 0;  // records asked of the host
  };

  // Per constructor: the points swept and what a completed call used.
  struct Tally {
    std::size_t host_points = 0;      // refusals with operator new left alone
    std::size_t new_points = 0;       // operator new failures with the host left alone
    std::size_t combined_points = 0;  // both
    std::size_t records_asked = 0;    // by a completed call
    std::set<int> operations;         // called by a completed call
  };

  Outcome call(Constructor const& c, std::size_t refuse_at, Host::Repeat repeat, Host::Refusal how,
               std::size_t fail_at, faults::Mode mode, Tally& tally) {
    std::int64_t live = faults::live_blocks();
    if (c.prepare) c.prepare();
    host.clear_calls();
    void* result = nullptr;
    bool ended = false;
    host.refuse_nth(refuse_at, repeat, how);
    faults::arm(fail_at, mode);
    try {
      result = c.make();
    } catch (std::bad_alloc const&) {
      ended = true;
    }
    Outcome o{host.refusals(), faults::failures_since_arm(), host.records_asked()};
    faults::disarm();
    host.stop_refusing();

    if (o.refusals == 0 && o.failures == 0) {
      EXPECT_FALSE(ended);
      EXPECT_NE(result, nullptr);
      EXPECT_EQ(host.live_records(), c.records) << "a completed call makes its result and what it refers to";
      if (c.dispose && result) c.dispose(result);
    } else if (how == Host::Refusal::NoRecord && o.failures == 0) {
      EXPECT_FALSE(ended);
      EXPECT_EQ(result, nullptr) << "no record, no result";
    } else {
      EXPECT_TRUE(ended) << "the failure leaves the call";
      // The first refusal ends the call, however many more there would have been.
      if (how == Host::Refusal::EndCall) {
        EXPECT_LE(o.refusals, 1u);
      }
    }
    // What the call made is the host's to reclaim: all of it when the call ended, the result
    // (and the records it refers to, and its part arrays) once the test is done with it.
    host.release_unkept();
    EXPECT_EQ(host.leak_report(), "");
    EXPECT_EQ(faults::live_blocks(), live) << "operator new blocks left";
    if (o.refusals == 0 && o.failures == 0) {
      tally.records_asked = o.asked;
      tally.operations.insert(host.call_log().begin(), host.call_log().end());
    }
    return o;
  }

  Tally sweep(Constructor const& c) {
    Tally tally;
    std::vector<Host::Refusal> hows{Host::Refusal::EndCall};
    if (c.survives_no_record) hows.push_back(Host::Refusal::NoRecord);
    for (Host::Refusal how : hows)
      for (Host::Repeat repeat : {Host::Repeat::Once, Host::Repeat::Persistent})
        for (faults::Mode mode : {faults::Mode::Once, faults::Mode::Persistent}) {
          std::size_t refusing_points = 0;
          for (std::size_t h = 0;; ++h) {
            for (std::size_t n = 0;; ++n) {
              SCOPED_TRACE(testing::Message()
                           << c.name << (how == Host::Refusal::EndCall ? ": host ends the call" : ": no record")
                           << " from record " << h << " (" << name_of(repeat) << "), operator new fails from "
                           << n << " (" << name_of(mode) << ")");
              if (h > 16 || n > 16) {
                ADD_FAILURE() << "never completed";
                return tally;
              }
              Outcome o = call(c, h, repeat, how, n, mode, tally);
              if (n == 0) {
                if (h > 0 && o.refusals == 0) break;  // past the call's last record
                if (h > 0) ++refusing_points;
                continue;
              }
              if (o.failures == 0) break;  // past the call's last allocation
              ++(h == 0 ? tally.new_points : tally.combined_points);
            }
            if (h > 0 && refusing_points < h) break;
          }
          // Every record the call asks for was a point of refusal.
          EXPECT_EQ(refusing_points, tally.records_asked) << c.name;
          tally.host_points += refusing_points;
        }
    return tally;
  }

  // Records the calls read (lists are counted, a lambda copied, texts read), made beforehand and
  // handed back to the host, so that no sweep step counts them or reclaims them.
  template <class T>
  T* kept(T* record) {
    host.keep(reinterpret_cast<Anyval*>(record));
    return record;
  }

  std::vector<Constructor> constructors() {
    Anyval* value = fake(1);
    Cons* list = kept(Cons::mk(allocator, fake(2), kept(Cons::mk(allocator, fake(3), nullptr))));
    aString* name = kept(aString::mk(allocator, "name"));
    Defn* defn = fake_as<Defn>(4);
    GlobalList* global_list = fake_as<GlobalList>(5);
    aLambda* lambda = kept(aLambda::mk(allocator, list, value, 1, 2, 3u));
    aString* real_text = kept(aString::mk(allocator, "1.5"));
    aString* imag_text = kept(aString::mk(allocator, "-2"));
    aRange* range = kept(aRange::mk(allocator, value, value, value));
    Global* global = global_ = Global::mk(allocator, value);
    static UnitPowers const powers{};
    static sEfiFuncInfo const info{Mat_to_Mat, {}};
    static aComplex const z_real = complex_record(5.0, 0.0);
    static aComplex const z_imag = complex_record(0.0, 2.0);
    static aComplex const z_both = complex_record(-1.5, 2.5);
    static aComplex const z_zero = complex_record(0.0, 0.0);

    // A source with both parts, padding rows, a nested string and a nested matrix that holds a
    // nested string itself: a deep copy makes four records, a shallow one one.
    aString* inner_text = aString::mk(allocator, "inner");
    aMatrix* inner = host::make_matrix(allocator, {2, 1, std::vector<double>{make_nested_cell(inner_text), 2.0},
                                                   std::nullopt, 0});
    aString* outer_text = aString::mk(allocator, "outer");
    aMatrix* source = kept(host::make_matrix(
        allocator, {2, 2, std::vector<double>{1.5, make_nested_cell(outer_text), make_nested_cell(inner), 4.0},
                    std::vector<double>{-1.0, 0.0, 0.0, 3.0}, 3}));

    auto dispose_heap = [this](auto* record) {
      return [this](void* made) { static_cast<decltype(record)>(made)->del(allocator); };
    };
    // Fresh part arrays for every call: a completed call's record owns them, a refused
    // AllocMatrix gives them to the host.
    auto prepare_arrays = [this] {
      arrays_[0] = static_cast<double*>(::operator new(8 * sizeof(double)));
      arrays_[1] = static_cast<double*>(::operator new(8 * sizeof(double)));
    };

    std::vector<Constructor> list_of = {
#define VELLUM_SWEEP_VALUE(field) , value
#define VELLUM_SWEEP_VALUE_NODE(Record, tag, operation, ...)                                    \
  {#Record "::mk", [=, this] {                                                                   \
     return static_cast<void*>(Record::mk(allocator VELLUM_NODE_FOR_EACH(VELLUM_SWEEP_VALUE, __VA_ARGS__))); \
   }},
        VELLUM_VALUE_NODES(VELLUM_SWEEP_VALUE_NODE)
#undef VELLUM_SWEEP_VALUE_NODE
#undef VELLUM_SWEEP_VALUE
    };
    auto add = [&](Constructor c) { list_of.push_back(std::move(c)); };
    auto plain = [&](char const* label, std::function<void*()> make, std::size_t records = 1) {
      add({label, std::move(make), records});
    };

    // Nodes.
    plain("aOnError::mk", [=, this] { return aOnError::mk(allocator, value, fake(2)); });
    plain("aBreak::mk", [=, this] { return aBreak::mk(allocator); });
    plain("aContinue::mk", [=, this] { return aContinue::mk(allocator); });
    plain("aList::mk", [=, this] { return aList::mk(allocator, list, 7); });
    plain("aGraphicsList::mk", [=, this] { return aGraphicsList::mk(allocator, list, 7); });
    plain("aApply::mk", [=, this] { return aApply::mk(allocator, value, list, 7); });
    plain("aLambda::mk", [=, this] { return aLambda::mk(allocator, list, value, 1, 2, 3u); });
    plain("aLambda::mk (copy)", [=, this] { return aLambda::mk(allocator, lambda, value); });
    plain("aLet::mk", [=, this] { return aLet::mk(allocator, list, value, 7); });
    plain("aIfBlock::mk", [=, this] { return aIfBlock::mk(allocator, list, value); });
    plain("aSequence::mk", [=, this] { return aSequence::mk(allocator, list); });
    plain("aSubscript::mk", [=, this] { return aSubscript::mk(allocator, value, list); });
    plain("aMetafileHandle::mk", [=, this] { return aMetafileHandle::mk(allocator, 42); });
    plain("aBitmapHandle::mk", [=, this] { return aBitmapHandle::mk(allocator, 42); });
    plain("aSymbolicEval::mk", [=, this] { return aSymbolicEval::mk(allocator, value, list, true, false); });
    plain("aUnitSymbolicEval::mk", [=, this] { return aUnitSymbolicEval::mk(allocator, value, true); });
    plain("aRedef::mk", [=, this] { return aRedef::mk(allocator, value, true); });
    plain("aBigComplex::mk", [=, this] { return aBigComplex::mk(allocator, real_text, imag_text); }, 3);
    plain("ceComputeRequest::mk",
          [=, this] { return ceComputeRequest::mk(allocator, kComputeValue, value, defn, list); });
    plain("ceComputeRequest::mk (Defn)", [=, this] { return ceComputeRequest::mk(allocator, defn); });
    plain("ceComputeRequest::mk (list)", [=, this] { return ceComputeRequest::mk(allocator, list); });
    plain("aFunction::mk", [=, this] { return aFunction::mk(allocator, info, value); });
    plain("aUnit::mk (expression)", [=, this] { return aUnit::mk(allocator, value); });
    plain("aUnit::mk (powers)", [=, this] { return aUnit::mk(allocator, powers); });
    add({"aComponent::mk", [=, this] { return aComponent::mk(allocator, fake_as<IUnknown>(6), 1, 2); }, 1, nullptr,
         nullptr, false, true});

    // Environment.
    plain("Cons::mk", [=, this] { return Cons::mk(allocator, value, list); });
    plain("Defns::mk", [=, this] { return Defns::mk(allocator, defn, nullptr); });
    plain("GlobalListList::mk", [=, this] { return GlobalListList::mk(allocator, global_list, nullptr); });
    plain("Defn::mk", [=, this] { return Defn::mk(allocator, value, value); });
    plain("EfiFrame::mk", [=, this] { return EfiFrame::mk(allocator, fake_as<Anyval*>(7), nullptr); });
    plain("aFrame::mk", [=, this] {
      return aFrame::mk(allocator, fake_as<Anyval*>(7), 2, fake_as<aFrame>(8), fake_as<aFrame>(9), 1, 2);
    });
    // The heap kinds: the host makes them with operator new.
    add({"Global::mk", [=, this] { return Global::mk(allocator); }, 0, nullptr, dispose_heap(global), true});
    add({"Global::mk (value)", [=, this] { return Global::mk(allocator, value); }, 0, nullptr, dispose_heap(global),
         true});
    add({"Global::mk (copy)", [=, this] { return Global::mk(allocator, static_cast<Global const*>(global)); }, 0,
         nullptr, dispose_heap(global), true});
    add({"GlobalList::mk", [=, this] { return GlobalList::mk(allocator, nullptr, global, nullptr); }, 0, nullptr,
         dispose_heap(global_list), true});
    add({"GlobalsDEQ::mk", [=, this] { return GlobalsDEQ::mk(allocator); }, 0, nullptr,
         dispose_heap(static_cast<GlobalsDEQ*>(nullptr)), true});

    // Identifiers: the five forms with a name record, and the five that make it of a text.
    sLocalDef const local{0x1234};
    plain("aIdentifier::mk (name)", [=, this] { return aIdentifier::mk(allocator, name); });
    plain("aIdentifier::mk (name, integer)", [=, this] { return aIdentifier::mk(allocator, name, 7); });
    plain("aIdentifier::mk (name, list, defn, defn, integer)",
          [=, this] { return aIdentifier::mk(allocator, name, global_list, defn, defn, 7); });
    plain("aIdentifier::mk (name, list, defn, integer)",
          [=, this] { return aIdentifier::mk(allocator, name, global_list, defn, 7); });
    plain("aIdentifier::mk (name, local)", [=, this] { return aIdentifier::mk(allocator, name, local); });
    plain("aIdentifier::mk (text)", [=, this] { return aIdentifier::mk(allocator, "x"); }, 2);
    plain("aIdentifier::mk (text, integer)", [=, this] { return aIdentifier::mk(allocator, "x", 7); }, 2);
    plain("aIdentifier::mk (text, list, defn, defn, integer)",
          [=, this] { return aIdentifier::mk(allocator, "x", global_list, defn, defn, 7); }, 2);
    plain("aIdentifier::mk (text, list, defn, integer)",
          [=, this] { return aIdentifier::mk(allocator, "x", global_list, defn, 7); }, 2);
    plain("aIdentifier::mk (text, local)", [=, this] { return aIdentifier::mk(allocator, "x", local); }, 2);

    // Strings and errors.
    plain("aString::mk", [=, this] { return aString::mk(allocator, "text"); });
    plain("aSymbolicExpression::mk", [=, this] { return aSymbolicExpression::mk(allocator, "x + 1"); });
    plain("aError::mk", [=, this] { return aError::mk(allocator, name, 0, 2, nullptr); });
    plain("mkError (allocator, text)", [=, this] { return mkError(allocator, "2.must be string", 0); }, 2);
    plain("mkError (context, text)", [=, this] { return mkError(context, "2.must be string", 0); }, 2);
    plain("mkError (context, message)", [=, this] { return mkError(context, name, 3); });
    plain("patch_error (illegal context)", [=, this] { return patch_error(context, "given", range, 1); }, 2);
    plain("patch_error (given text)", [=, this] { return patch_error(context, "given", name, 1); }, 2);

    // Matrices.
    add({"aMatrix::mk (arrays)", [=, this] { return aMatrix::mk(allocator, 2, 3, arrays_[0], arrays_[1], 0); }, 1,
         prepare_arrays});
    add({"aMatrix::mk (absent arrays)", [=, this] { return aMatrix::mk(allocator, 2, 3, nullptr, nullptr, 0); }});
    add({"aMatrix::mk (leading dimension)",
         [=, this] { return aMatrix::mk(allocator, 2, 2, 4, arrays_[0], arrays_[1], 64); }, 1, prepare_arrays});
    using Cell = std::pair<char const*, aComplex const*>;
    for (Cell cell :
         {Cell{"real", &z_real}, Cell{"imaginary", &z_imag}, Cell{"complex", &z_both}, Cell{"zero", &z_zero}}) {
      aComplex const* z = cell.second;
      add({std::string("aMatrix::mk (one ") + cell.first + " cell)",
           [=, this] { return aMatrix::mk(allocator, 1, 2, z); }, 1, nullptr, nullptr, true});
    }
    for (bool flag : {false, true}) {
      std::string which = flag ? " (compact)" : " (as laid out)";
      add({"aMatrix::cp" + which, [=, this] { return aMatrix::cp(allocator, source, flag); }, 1, nullptr, nullptr,
           true});
      add({"aMatrix::deep_cp" + which, [=, this] { return aMatrix::deep_cp(allocator, source, flag); }, 4, nullptr,
           nullptr, true});
    }
    return list_of;
  }

  void TearDown() override {
    if (global_) global_->del(allocator);
    HostTest::TearDown();
  }

  Global* global_ = nullptr;  // the one a GlobalList is made for, and the one copied
  double* arrays_[2] = {nullptr, nullptr};
};

TEST_F(ConstructorSweep, EveryConstructorWhenTheHostOrOperatorNewRunsOut) {
  std::vector<Constructor> const all = constructors();
  std::set<int> operations;
  std::size_t host_points = 0, new_points = 0, combined_points = 0;
  for (Constructor const& c : all) {
    Tally tally = sweep(c);
    EXPECT_GT(tally.host_points, 0u) << c.name;
    EXPECT_EQ(tally.new_points > 0, c.uses_operator_new) << c.name << ": operator new, or not, as expected";
    operations.insert(tally.operations.begin(), tally.operations.end());
    host_points += tally.host_points;
    new_points += tally.new_points;
    combined_points += tally.combined_points;
  }
  // Every operation of the allocator table is reached by a swept constructor: an operation
  // added to the table needs its constructor added here.
  for (int position : table_operations())
    EXPECT_EQ(operations.count(position), 1u) << "no swept constructor calls " << Host::operation_name(position);
  std::printf("swept %zu constructors: %zu host refusal points, %zu operator new points, %zu combined\n", all.size(),
              host_points, new_points, combined_points);
}

}  // namespace
}  // namespace vellum::test
