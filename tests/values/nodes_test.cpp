// The expression and environment node constructors: where each argument lands, which fields
// stay as allocated (the host fills fresh records with 0xA5), and which allocator operation
// each constructor calls.
#include <cmath>
#include <functional>

#include "tests/support/test_support.h"

namespace {

using vellum::test::bits;
using vellum::test::HostTest;
using vellum::test::word_at;
using Host = vellum::host::HostAllocator;
using Log = std::vector<int, vellum::host::UntrackedAllocator<int>>;

constexpr std::uint32_t kFill = Host::kFillWord;

// Distinct values that the constructors only store.
Anyval* fake(std::uintptr_t k) { return reinterpret_cast<Anyval*>(0x1000 + 0x10 * k); }
template <class T>
T* fake_as(std::uintptr_t k) {
  return reinterpret_cast<T*>(fake(k));
}

class Nodes : public HostTest {
 protected:
  // A list of n cells made through the host.
  Cons* list_of(int n) {
    Cons* list = nullptr;
    for (int k = 0; k < n; ++k) list = Cons::mk(allocator, fake(k), list);
    return list;
  }
  // Runs `make` and expects exactly these allocator operations, in order.
  template <class Make>
  auto expect_calls(Log const& positions, Make make) {
    host.clear_calls();
    auto* record = make();
    EXPECT_EQ(host.call_log(), positions);
    return record;
  }
};

TEST_F(Nodes, ValueNodesStoreTheirValuesInArgumentOrder) {
  struct Row {
    char const* name;
    int position;
    ValueTag tag;
    std::function<Anyval*()> make;
    std::vector<Anyval*> fields;  // in layout order
  };
  Anyval *a = fake(1), *b = fake(2), *c = fake(3), *d = fake(4);
  // The value fields follow the tag, from the first pointer-aligned offset on.
  auto fields_of = [](Anyval* record, std::size_t n) {
    std::vector<Anyval*> values(n);
    if (n) std::memcpy(values.data(), reinterpret_cast<char*>(record) + sizeof(void*), n * sizeof(Anyval*));
    return values;
  };
  Row const rows[] = {
      {"aLocalAssign", 29, ValueTag::LocalAssign, [&] { return aLocalAssign::mk(allocator, a, b); }, {a, b}},
      {"aWhile", 43, ValueTag::While, [&] { return aWhile::mk(allocator, a, b); }, {a, b}},
      {"aPair", 32, ValueTag::Pair, [&] { return aPair::mk(allocator, a, b); }, {a, b}},
      {"aSymbolicSwitch", 32, ValueTag::SymbolicSwitch, [&] { return aSymbolicSwitch::mk(allocator, a, b); }, {a, b}},
      {"aUnitedValue", 55, ValueTag::UnitedValue, [&] { return aUnitedValue::mk(allocator, a, b); }, {a, b}},
      {"aOnError", 31, ValueTag::OnError, [&] { return aOnError::mk(allocator, a, b); }, {b, a}},
      {"aRange", 33, ValueTag::Range, [&] { return aRange::mk(allocator, a, b, c); }, {a, b, c}},
      {"aFor", 18, ValueTag::For, [&] { return aFor::mk(allocator, a, b, c, d); }, {a, b, c, d}},
      {"aEvalLiteral", 17, ValueTag::EvalLiteral, [&] { return aEvalLiteral::mk(allocator, a); }, {a}},
      {"aReturn", 34, ValueTag::Return, [&] { return aReturn::mk(allocator, a); }, {a}},
      {"aVectorize", 42, ValueTag::Vectorize, [&] { return aVectorize::mk(allocator, a); }, {a}},
      {"aNumericEval", 40, ValueTag::NumericEval, [&] { return aNumericEval::mk(allocator, a); }, {a}},
      {"aBreak", 7, ValueTag::Break, [&] { return aBreak::mk(allocator); }, {}},
      {"aContinue", 13, ValueTag::Continue, [&] { return aContinue::mk(allocator); }, {}},
  };
  for (Row const& row : rows) {
    SCOPED_TRACE(row.name);
    Anyval* record = expect_calls({row.position}, row.make);
    EXPECT_EQ(record->tag, row.tag);
    EXPECT_EQ(fields_of(record, row.fields.size()), row.fields);
    // The word after the last field is left as allocated.
    std::size_t end = sizeof(void*) * (1 + row.fields.size());
    EXPECT_EQ(word_at(record, end), kFill);
  }
}

TEST_F(Nodes, ListNodesCountTheirCells) {
  Cons* three = list_of(3);
  aApply* apply = expect_calls({6}, [&] { return aApply::mk(allocator, fake(9), three, 7); });
  EXPECT_EQ(apply->tag, ValueTag::Apply);
  EXPECT_EQ(apply->integer, 7);
  EXPECT_EQ(apply->function, fake(9));
  EXPECT_EQ(apply->length, 3);
  EXPECT_EQ(apply->arguments, three);
  EXPECT_EQ(aApply::mk(allocator, fake(9), nullptr, 0)->length, 0);

  aLambda* lambda = expect_calls({26}, [&] { return aLambda::mk(allocator, three, fake(5), 11, 22, 33u); });
  EXPECT_EQ(lambda->tag, ValueTag::Lambda);
  EXPECT_EQ(lambda->first_integer, 11);
  EXPECT_EQ(lambda->second_integer, 22);
  EXPECT_EQ(lambda->length, 3);
  EXPECT_EQ(lambda->parameters, three);
  EXPECT_EQ(lambda->body, fake(5));
  EXPECT_EQ(lambda->zero24, 0u);
  EXPECT_EQ(lambda->value28, nullptr);
  EXPECT_EQ(lambda->unsigned_integer, 33u);
  EXPECT_EQ(lambda->zero36, 0u);

  lambda->zero36 = 0x5a5a;  // a copy takes every word, whatever it holds
  aLambda* copy = expect_calls({26}, [&] { return aLambda::mk(allocator, lambda, fake(8)); });
  EXPECT_EQ(copy->value28, fake(8));
  copy->value28 = nullptr;
  EXPECT_EQ(std::memcmp(copy, lambda, sizeof(aLambda)), 0);
}

TEST_F(Nodes, NodesWithListsAndIntegers) {
  Cons* list = list_of(2);
  aList* l = expect_calls({28}, [&] { return aList::mk(allocator, list, 4); });
  EXPECT_EQ(l->tag, ValueTag::List);
  EXPECT_EQ(l->integer, 4);
  EXPECT_EQ(l->list, list);
  aGraphicsList* g = expect_calls({46}, [&] { return aGraphicsList::mk(allocator, list, 5); });
  EXPECT_EQ(g->tag, ValueTag::GraphicsList);
  EXPECT_EQ(g->integer, 5);
  aLet* let = expect_calls({27}, [&] { return aLet::mk(allocator, list, fake(1), 6); });
  EXPECT_EQ(let->tag, ValueTag::Let);
  EXPECT_EQ(let->list, list);
  EXPECT_EQ(let->integer, 6);
  EXPECT_EQ(let->value, fake(1));
  aIfBlock* ifs = expect_calls({25}, [&] { return aIfBlock::mk(allocator, list, fake(2)); });
  EXPECT_EQ(ifs->tag, ValueTag::IfBlock);
  EXPECT_EQ(ifs->value, fake(2));
  aSequence* seq = expect_calls({35}, [&] { return aSequence::mk(allocator, list); });
  EXPECT_EQ(seq->tag, ValueTag::Sequence);
  EXPECT_EQ(seq->list, list);
  aSubscript* sub = expect_calls({37}, [&] { return aSubscript::mk(allocator, fake(3), list); });
  EXPECT_EQ(sub->tag, ValueTag::Subscript);
  EXPECT_EQ(sub->value, fake(3));
  EXPECT_EQ(sub->list, list);
  aFrame* frame = expect_calls({19}, [&] {
    return aFrame::mk(allocator, reinterpret_cast<Anyval**>(fake(7)), 3, fake_as<aFrame>(1), fake_as<aFrame>(2), 8, 9);
  });
  EXPECT_EQ(frame->tag, ValueTag::Frame);
  EXPECT_EQ(frame->count, 3);
  EXPECT_EQ(frame->first_integer, 8);
  EXPECT_EQ(frame->second_integer, 9);
  EXPECT_EQ(frame->first, fake_as<aFrame>(1));
  EXPECT_EQ(frame->second, fake_as<aFrame>(2));
  EXPECT_EQ(frame->values, reinterpret_cast<Anyval**>(fake(7)));
}

TEST_F(Nodes, IdentifiersOfEveryForm) {
  aString* name = aString::mk(allocator, "x");
  GlobalList* gl = fake_as<GlobalList>(1);
  Defn* d1 = fake_as<Defn>(2);
  Defn* d2 = fake_as<Defn>(3);
  struct Row {
    char const* form;
    std::function<aIdentifier*(bool text)> make;
    std::int32_t binding, integer;
    GlobalList* list;
    Defn* defn;
    Defn* second;
  };
  auto named = [&](bool text, auto... rest) {
    return text ? aIdentifier::mk(allocator, "x", rest...) : aIdentifier::mk(allocator, name, rest...);
  };
  Row const rows[] = {
      {"name", [&](bool t) { return named(t); }, 2, 0, nullptr, nullptr, nullptr},
      {"name, 7", [&](bool t) { return named(t, 7); }, 2, 7, nullptr, nullptr, nullptr},
      {"name, list, d1, d2, 7", [&](bool t) { return named(t, gl, d1, d2, 7); }, 1, 7, gl, d1, d2},
      {"name, list, null, d2, 7", [&](bool t) { return named(t, gl, static_cast<Defn*>(nullptr), d2, 7); }, 2, 7,
       nullptr, nullptr, d2},
      {"name, list, d1, 7", [&](bool t) { return named(t, gl, d1, 7); }, 1, 7, gl, d1, nullptr},
      {"name, list, null, 7", [&](bool t) { return named(t, gl, static_cast<Defn*>(nullptr), 7); }, 1, 7, gl,
       nullptr, nullptr},
  };
  for (Row const& row : rows)
    for (bool text : {false, true}) {
      SCOPED_TRACE(std::string(row.form) + (text ? " (text)" : ""));
      aIdentifier* id = expect_calls(text ? Log{36, 24} : Log{24}, [&] { return row.make(text); });
      EXPECT_EQ(id->tag, ValueTag::Identifier);
      EXPECT_EQ(id->binding, row.binding);
      EXPECT_EQ(id->integer, row.integer);
      EXPECT_EQ(id->global_list, row.list);
      EXPECT_EQ(id->defn, row.defn);
      EXPECT_EQ(id->second_defn, row.second);
      if (text) {
        EXPECT_STREQ(id->name->text, "x");
        EXPECT_NE(id->name, name);
      } else {
        EXPECT_EQ(id->name, name);
      }
    }

  for (bool text : {false, true}) {
    aIdentifier* local = text ? aIdentifier::mk(allocator, "x", sLocalDef{0x1234})
                              : aIdentifier::mk(allocator, name, sLocalDef{0x1234});
    EXPECT_EQ(local->binding, aIdentifier::kLocal);
    EXPECT_EQ(local->integer, 0);
    EXPECT_EQ(local->local_def, 0x1234);
    // Only the low 16 bits of the word are written.
    unsigned char rest[sizeof(void*) - 2];
    std::memcpy(rest, reinterpret_cast<unsigned char*>(&local->global_list) + 2, sizeof rest);
    for (unsigned char byte : rest) EXPECT_EQ(byte, Host::kFillByte);
    EXPECT_EQ(local->defn, nullptr);
    EXPECT_EQ(local->second_defn, nullptr);
  }
}

TEST_F(Nodes, ComputeRequestsCarryThePayloadTheirKindNames) {
  Defn* defn = fake_as<Defn>(1);
  Cons* list = fake_as<Cons>(2);
  Anyval* value = fake(3);
  struct Row {
    std::int32_t kind;
    void* payload;
  };
  for (Row row : {Row{1, list}, Row{2, value}, Row{3, defn}, Row{4, value}}) {
    ceComputeRequest* r = expect_calls(
        {11}, [&] { return ceComputeRequest::mk(allocator, ComputeRequestKind(row.kind), value, defn, list); });
    EXPECT_EQ(r->tag, ValueTag::ComputeRequest);
    EXPECT_EQ(r->kind, row.kind);
    EXPECT_EQ(r->payload, row.payload) << "kind " << row.kind;
  }
  ceComputeRequest* odd = ceComputeRequest::mk(allocator, ComputeRequestKind(5), value, defn, list);
  EXPECT_EQ(odd->kind, 5);
  EXPECT_EQ(word_at(&odd->payload, 0), kFill) << "an unknown kind writes no payload";
  EXPECT_EQ(ceComputeRequest::mk(allocator, defn)->kind, 3);
  EXPECT_EQ(ceComputeRequest::mk(allocator, defn)->payload, defn);
  EXPECT_EQ(ceComputeRequest::mk(allocator, list)->kind, 1);
  EXPECT_EQ(ceComputeRequest::mk(allocator, list)->payload, list);
}

TEST_F(Nodes, BigComplexReadsBothTextsAndKeepsThem) {
  struct Row {
    char const* real;
    char const* imag;
    double want_real, want_imag;
  };
  Row const rows[] = {
      {"1.5", "-2", 1.5, -2.0},    {"1e3", nullptr, 1000.0, 0.0}, {nullptr, "0.25", 0.0, 0.25},
      {"abc", "  7x", 0.0, 7.0},   {"-0", "", -0.0, 0.0},         {"0x10", "inf", 16.0, HUGE_VAL},
  };
  for (Row const& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.real ? row.real : "null") << ", " << (row.imag ? row.imag : "null"));
    aString* re = row.real ? aString::mk(allocator, row.real) : nullptr;
    aString* im = row.imag ? aString::mk(allocator, row.imag) : nullptr;
    aBigComplex* big = expect_calls({32, 8, 32}, [&] { return aBigComplex::mk(allocator, re, im); });
    EXPECT_EQ(big->tag, ValueTag::BigComplex);
    EXPECT_EQ(big->texts->tag, ValueTag::Pair);
    EXPECT_EQ(big->texts->first, re);
    EXPECT_EQ(big->texts->second, im);
    EXPECT_EQ(big->number->tag, ValueTag::Complex);
    EXPECT_EQ(static_cast<std::uint32_t>(big->number->reserved), kFill) << "left as allocated";
    EXPECT_EQ(bits(big->number->real), bits(row.want_real));
    EXPECT_EQ(bits(big->number->imag), bits(row.want_imag));
  }
}

// The texts where C runtimes read numbers differently (hexadecimal forms, infinities and NaNs
// with sign and payload, denormals and the rounding at both ends of the range, long digit
// strings, partial exponents), with the bits every configuration must read.
TEST_F(Nodes, BigComplexReadsTrickyNumberTextsToTheSameBitsEverywhere) {
  struct Row {
    char const* text;
    std::uint64_t want;
  };
  Row const rows[] = {
      {"0x1.8p1", 0x4008000000000000},
      {"0X1P-1074", 0x0000000000000001},           // the least denormal
      {"0x1p-1075", 0x0000000000000000},           // half of it rounds to even: zero
      {"0x1.0000000000001p-1022", 0x0010000000000001},
      {"-INF", 0xfff0000000000000},
      {"Infinity", 0x7ff0000000000000},
      {"nan", 0x7ff8000000000000},
      {"-nan", 0xfff8000000000000},
      {"nan(123)", 0x7ff8000000000000},            // the payload is not read
      {"4.9406564584124654e-324", 0x0000000000000001},
      {"2.4703282292062328e-324", 0x0000000000000001},  // just above half the least denormal
      {"2.4703282292062327e-324", 0x0000000000000000},  // just below it
      {"2.2250738585072011e-308", 0x000fffffffffffff},  // the largest denormal
      {"1.7976931348623158e308", 0x7fefffffffffffff},
      {"1.7976931348623159e308", 0x7ff0000000000000},   // rounds past the largest finite
      {"1e-400", 0x0000000000000000},
      {"-1e400", 0xfff0000000000000},
      {"9007199254740993", 0x4340000000000000},          // 2^53 + 1: a tie, to even
      {"0.1000000000000000055511151231257827021181583404541015625", 0x3fb999999999999a},
      {"123456789012345678901234567890e-10", 0x43e56a95319d63e1},
      {"179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587207096"
       "33028641669288791094655554785194040263065748867150582068190890200070838367627385484581771153176447573"
       "0270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177145446499",
       0x7f50624dd2f1a9fc},
      {"0.00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
       "000000000000000000000000049406564584124654",
       0x0000000000000001},                                // the least denormal, written out
      {"00000000000000000000000000000000000001.5", 0x3ff8000000000000},
      {" \t+7x", 0x401c000000000000},
      {"1e+", 0x3ff0000000000000},                         // the exponent is left unread
      {"2.5e-2f", 0x3f9999999999999a},
      {".5", 0x3fe0000000000000},
      {"5.", 0x4014000000000000},
      {"-0x", 0x0000000000000000},                         // nothing read: the number stays 0
  };
  for (Row const& row : rows) {
    SCOPED_TRACE(row.text);
    aBigComplex* big = aBigComplex::mk(allocator, aString::mk(allocator, row.text), aString::mk(allocator, row.text));
    EXPECT_EQ(bits(big->number->real), row.want);
    EXPECT_EQ(bits(big->number->imag), row.want);
  }
}

TEST_F(Nodes, FlagBytesAndHandles) {
  struct Flags {
    bool first, second;
    std::uint8_t byte;
  };
  for (Flags f : {Flags{false, false, 0}, Flags{true, false, 1}, Flags{false, true, 2}, Flags{true, true, 3}}) {
    aSymbolicEval* e = expect_calls({39}, [&] { return aSymbolicEval::mk(allocator, fake(1), list_of(0), f.first, f.second); });
    EXPECT_EQ(e->tag, ValueTag::SymbolicEval);
    EXPECT_EQ(e->flags, f.byte);
    for (std::uint8_t byte : e->host_bytes) EXPECT_EQ(byte, Host::kFillByte) << "the rest of the word is not written";
    EXPECT_EQ(e->value, fake(1));
  }
  for (bool flag : {false, true}) {
    aUnitSymbolicEval* u = expect_calls({39}, [&] { return aUnitSymbolicEval::mk(allocator, fake(2), flag); });
    EXPECT_EQ(u->tag, ValueTag::UnitSymbolicEval);
    EXPECT_EQ(u->flag, flag ? 1 : 0);
    EXPECT_EQ(u->value, fake(2));
    aRedef* r = expect_calls({54}, [&] { return aRedef::mk(allocator, fake(3), flag); });
    EXPECT_EQ(r->tag, ValueTag::Redef);
    EXPECT_EQ(r->value, fake(3));
    EXPECT_EQ(r->flag, flag ? 1 : 0);
  }
  aMetafileHandle* metafile = expect_calls({47}, [&] { return aMetafileHandle::mk(allocator, 77); });
  EXPECT_EQ(host.last_graphic_handle(), 77);
  EXPECT_EQ(metafile->tag, ValueTag::GraphicHandle);
  EXPECT_EQ(metafile->kind, 2);
  EXPECT_EQ(word_at(metafile, 8), kFill);
  aBitmapHandle* bitmap = aBitmapHandle::mk(allocator, 78);
  EXPECT_EQ(host.last_graphic_handle(), 78);
  EXPECT_EQ(bitmap->kind, 1);
}

TEST_F(Nodes, ComponentsAreNullWhenTheHostGivesNoRecord) {
  auto* component = reinterpret_cast<IUnknown*>(0x4000);
  aComponent* c = expect_calls({10}, [&] { return aComponent::mk(allocator, component, 1, 2); });
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->tag, ValueTag::Component);
  EXPECT_EQ(c->component, component);
  EXPECT_EQ(word_at(c, sizeof(void*) == 8 ? 16 : 8), kFill) << "the integers are not stored";
  host.refuse(10);  // the host leaves the result location as it found it
  EXPECT_EQ(aComponent::mk(allocator, component, 1, 2), nullptr);
}

TEST_F(Nodes, UnitsByExpressionOrByPowers) {
  aUnit* by_expression = expect_calls({44}, [&] { return aUnit::mk(allocator, fake(4)); });
  EXPECT_EQ(by_expression->tag, ValueTag::Unit);
  EXPECT_EQ(by_expression->expression, fake(4));
  EXPECT_EQ(word_at(&by_expression->powers, 0), kFill) << "the powers are left as allocated";
  UnitPowers powers;
  for (std::size_t k = 0; k < sizeof powers.bytes; ++k) powers.bytes[k] = static_cast<unsigned char>(k * 3);
  aUnit* by_powers = expect_calls({44}, [&] { return aUnit::mk(allocator, powers); });
  EXPECT_EQ(by_powers->expression, nullptr);
  EXPECT_EQ(std::memcmp(&by_powers->powers, &powers, sizeof powers), 0);
}

TEST_F(Nodes, CellsDefinitionsAndFrames) {
  Cons* cell = expect_calls({12}, [&] { return Cons::mk(allocator, fake(1), nullptr); });
  EXPECT_EQ(cell->item, fake(1));
  EXPECT_EQ(cell->next, nullptr);
  Defn* defn = expect_calls({14}, [&] { return Defn::mk(allocator, fake(2), fake(3)); });
  EXPECT_EQ(defn->tag, ValueTag::Defn);
  EXPECT_EQ(defn->first, fake(2));
  EXPECT_EQ(defn->zero8, 0u);
  EXPECT_EQ(defn->zero12, 0u);
  EXPECT_EQ(defn->second, fake(3));
  Defns* defns = expect_calls({12}, [&] { return Defns::mk(allocator, defn, nullptr); });
  EXPECT_EQ(defns->item, defn);
  GlobalListList* lists = expect_calls({12}, [&] { return GlobalListList::mk(allocator, fake_as<GlobalList>(4), nullptr); });
  EXPECT_EQ(lists->item, fake_as<GlobalList>(4));

  auto** slots = reinterpret_cast<Anyval**>(fake(5));
  EfiFrame* frame = expect_calls({15}, [&] { return EfiFrame::mk(allocator, slots, fake_as<EfiFrame>(6)); });
  EXPECT_EQ(frame->slots, slots);
  for (std::uint32_t word : frame->zero4) EXPECT_EQ(word, 0u);
  EXPECT_EQ(frame->parent, fake_as<EfiFrame>(6));
}

TEST_F(Nodes, GlobalsComeFromTheHeapAndAreNumberedWhenListed) {
  std::int64_t before = vellum::faults::live_blocks();
  Global* empty = expect_calls({21}, [&] { return Global::mk(allocator); });
  Global* holding = Global::mk(allocator, fake(1));
  for (Global* g : {empty, holding}) {
    EXPECT_EQ(g->tag, ValueTag::Global);
    EXPECT_EQ(g->id, -1);
    for (std::uint32_t word : g->zero8) EXPECT_EQ(word, 0u);
    for (std::uint32_t word : g->zero40) EXPECT_EQ(word, 0u);
    for (std::uint32_t word : g->host68) EXPECT_EQ(word, kFill);
  }
  EXPECT_EQ(empty->state, 2);
  EXPECT_EQ(empty->value, nullptr);
  EXPECT_EQ(holding->state, 1);
  EXPECT_EQ(holding->value, fake(1));

  GlobalList* first = expect_calls({23}, [&] { return GlobalList::mk(allocator, nullptr, empty, nullptr); });
  std::int32_t number = empty->id;
  EXPECT_GT(number, 0);
  GlobalList* last = GlobalList::mk(allocator, nullptr, holding, nullptr);
  EXPECT_EQ(holding->id, number + 1);
  GlobalList* middle = GlobalList::mk(allocator, first, empty, last);
  EXPECT_EQ(empty->id, number + 2) << "a second node numbers the global again";
  EXPECT_EQ(middle->tag, ValueTag::GlobalList);
  EXPECT_EQ(middle->global, empty);
  EXPECT_EQ(first->next, middle);
  EXPECT_EQ(last->previous, middle);
  EXPECT_EQ(middle->previous, first);
  EXPECT_EQ(middle->next, last);

  Global* copy = Global::mk(allocator, static_cast<Global const*>(holding));
  EXPECT_EQ(std::memcmp(static_cast<void*>(copy), static_cast<void*>(holding), sizeof(Global)), 0)
      << "all 80 bytes, identity number included";
  GlobalsDEQ* deq = expect_calls({22}, [&] { return GlobalsDEQ::mk(allocator); });
  EXPECT_EQ(deq->first, nullptr);
  EXPECT_EQ(deq->second, nullptr);
  EXPECT_EQ(vellum::faults::live_blocks(), before + 7);

  for (Global* g : {empty, holding, copy}) g->del(allocator);
  for (GlobalList* node : {first, middle, last}) node->del(nullptr);
  deq->del(allocator);
  EXPECT_EQ(vellum::faults::live_blocks(), before) << "del gives the records back to the heap";
}

}  // namespace
