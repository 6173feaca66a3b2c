// Out-of-memory sweeps (tests/support/sweep.h) over every constructor of host records.
//
// This host runs out by ending the call: std::bad_alloc leaves the allocator operation, as when
// its arena is exhausted. The constructors catch nothing, so the exception leaves them; what they
// had obtained is the host's to reclaim, and part arrays handed over with AllocMatrix went to the
// host with the call. A host that returns without a record is survived only by aComponent::mk
// (it answers null); every other constructor would write through the null pointer, so only that
// one is swept that way.
#include <bitset>
#include <functional>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "tests/support/sweep.h"
#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

using Host = host::HostAllocator;

struct Constructor {
  std::string name;
  std::function<void*()> make;
  std::size_t records = 1;  // made by a completed call: the result and what it refers to (heap kinds: 0)
  std::function<void()> prepare = nullptr;     // makes the part arrays the call hands over
  std::function<void(void*)> dispose = nullptr;  // Global, GlobalList and GlobalsDEQ go back with del
  bool uses_operator_new = false;                // itself, or the host for it
  bool survives_no_record = false;               // answers null when the host returns without one
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
    // One cell's value: real, imaginary, complex, zero.
    static aComplex const cells[] = {complex_record(5, 0), complex_record(0, 2), complex_record(-1.5, 2.5),
                                     complex_record(0, 0)};

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
        {"aLocalAssign::mk", [=, this] { return static_cast<void*>(aLocalAssign::mk(allocator, value, value)); }},
        {"aWhile::mk", [=, this] { return static_cast<void*>(aWhile::mk(allocator, value, value)); }},
        {"aPair::mk", [=, this] { return static_cast<void*>(aPair::mk(allocator, value, value)); }},
        {"aSymbolicSwitch::mk", [=, this] { return static_cast<void*>(aSymbolicSwitch::mk(allocator, value, value)); }},
        {"aUnitedValue::mk", [=, this] { return static_cast<void*>(aUnitedValue::mk(allocator, value, value)); }},
        {"aRange::mk", [=, this] { return static_cast<void*>(aRange::mk(allocator, value, value, value)); }},
        {"aFor::mk", [=, this] { return static_cast<void*>(aFor::mk(allocator, value, value, value, value)); }},
        {"aEvalLiteral::mk", [=, this] { return static_cast<void*>(aEvalLiteral::mk(allocator, value)); }},
        {"aReturn::mk", [=, this] { return static_cast<void*>(aReturn::mk(allocator, value)); }},
        {"aVectorize::mk", [=, this] { return static_cast<void*>(aVectorize::mk(allocator, value)); }},
        {"aNumericEval::mk", [=, this] { return static_cast<void*>(aNumericEval::mk(allocator, value)); }},
    };
    auto add = [&](Constructor c) { list_of.push_back(std::move(c)); };
    auto plain = [&](std::string label, std::function<void*()> make, std::size_t records = 1) {
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
    for (bool text : {false, true}) {
      auto id = [=, this](auto... rest) {
        return text ? aIdentifier::mk(allocator, "x", rest...) : aIdentifier::mk(allocator, name, rest...);
      };
      std::string const form = text ? "aIdentifier::mk (text" : "aIdentifier::mk (name";
      plain(form + ")", [=] { return id(); }, 1 + text);
      plain(form + ", integer)", [=] { return id(7); }, 1 + text);
      plain(form + ", list, defn, defn, integer)", [=] { return id(global_list, defn, defn, 7); }, 1 + text);
      plain(form + ", list, defn, integer)", [=] { return id(global_list, defn, 7); }, 1 + text);
      plain(form + ", local)", [=] { return id(local); }, 1 + text);
    }

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
    for (aComplex const& z : cells)
      add({"aMatrix::mk (one cell, value " + std::to_string(&z - cells) + ")",
           [=, this] { return aMatrix::mk(allocator, 1, 2, &z); }, 1, nullptr, nullptr, true});
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
  std::bitset<64> operations;  // no allocation inside a sweep step
  for (Constructor const& c : all) {
    std::vector<Host::Refusal> hows{Host::Refusal::EndCall};
    if (c.survives_no_record) hows.push_back(Host::Refusal::NoRecord);
    for (Host::Refusal how : hows) {
      void* result = nullptr;
      auto check = [&](Step const& step) {
        if (step.completed()) {
          EXPECT_FALSE(step.ended);
          EXPECT_NE(result, nullptr);
          EXPECT_EQ(host.live_records(), c.records) << "a completed call makes its result and what it refers to";
          for (int position : host.call_log()) operations.set(static_cast<std::size_t>(position));
          if (c.dispose && result) c.dispose(result);
        } else if (how == Host::Refusal::NoRecord && step.failures == 0) {
          EXPECT_FALSE(step.ended);
          EXPECT_EQ(result, nullptr) << "no record, no result";
        } else {
          EXPECT_TRUE(step.ended) << "the failure leaves the call";
        }
        result = nullptr;
      };
      SweepPoints points = sweep(c.name, [&] { result = c.make(); }, check, {&host, how, c.prepare});
      EXPECT_GT(points.host, 0u) << c.name;
      EXPECT_EQ(points.memory > 0, c.uses_operator_new) << c.name << ": operator new, or not, as expected";
    }
  }
  // Every operation of the allocator table is reached by a swept constructor: an operation
  // added to the table needs its constructor added here.
  for (int position : table_operations())
    EXPECT_TRUE(operations.test(static_cast<std::size_t>(position))) << "no swept constructor calls " << Host::operation_name(position);
}

}  // namespace
}  // namespace vellum::test
