// The expression and environment node constructors: where each argument lands, which fields
// stay as allocated (the host fills fresh records with 0xA5), and which allocator operation
// each constructor calls.
#include <algorithm>
#include <cmath>
#include <functional>
#include <type_traits>

#include "tests/support/test_support.h"

namespace {

using vellum::test::bits;
using vellum::test::fake;
using vellum::test::fake_as;
using vellum::test::HostTest;
using vellum::test::word_at;
using Host = vellum::host::HostAllocator;
using Log = std::vector<int, vellum::host::UntrackedAllocator<int>>;

constexpr std::uint32_t kFill = Host::kFillWord;

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

// A constructor's fields as words, in the order a row of the table below lists them.
template <class T>
std::uintptr_t as_word(T v) {
  if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>)
    return reinterpret_cast<std::uintptr_t>(v);
  else if constexpr (std::is_enum_v<T>)
    return static_cast<std::uintptr_t>(static_cast<std::underlying_type_t<T>>(v));
  else
    return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(v));
}
template <class... T>
std::vector<std::uintptr_t> words(T... values) {
  return {as_word(values)...};
}
// Whether every element of a field array holds `value`.
template <class Array, class T>
bool all_are(Array const& array, T value) {
  return std::all_of(std::begin(array), std::end(array), [&](auto element) { return element == value; });
}

TEST_F(Nodes, EveryOtherConstructorFillsItsFields) {
  struct Row {
    std::string name;
    int position;
    std::function<void*()> make;
    std::function<std::vector<std::uintptr_t>(void*)> read;
    std::vector<std::uintptr_t> want;
  };
#define READ(Type, ...) [=, this](void* made) { auto* r = static_cast<Type*>(made); return words(__VA_ARGS__); }
  Cons* two = list_of(2);
  Cons* three = list_of(3);
  auto** slots = reinterpret_cast<Anyval**>(fake(7));
  auto* component = reinterpret_cast<IUnknown*>(0x4000);
  UnitPowers powers;
  for (std::size_t k = 0; k < sizeof powers.bytes; ++k) powers.bytes[k] = static_cast<unsigned char>(k * 3);
  std::vector<Row> rows = {
      {"aApply", 6, [&] { return aApply::mk(allocator, fake(9), three, 7); },
       READ(aApply, r->tag, r->integer, r->function, r->length, r->arguments),
       words(ValueTag::Apply, 7, fake(9), 3, three)},
      {"aApply (no arguments)", 6, [&] { return aApply::mk(allocator, fake(9), nullptr, 0); }, READ(aApply, r->length),
       words(0)},
      {"aLambda", 26, [&] { return aLambda::mk(allocator, three, fake(5), 11, 22, 33u); },
       READ(aLambda, r->tag, r->first_integer, r->second_integer, r->length, r->parameters, r->body, r->zero24,
            r->value28, r->unsigned_integer, r->zero36),
       words(ValueTag::Lambda, 11, 22, 3, three, fake(5), 0, nullptr, 33u, 0)},
      {"aList", 28, [&] { return aList::mk(allocator, two, 4); }, READ(aList, r->tag, r->integer, r->list),
       words(ValueTag::List, 4, two)},
      {"aGraphicsList", 46, [&] { return aGraphicsList::mk(allocator, two, 5); },
       READ(aGraphicsList, r->tag, r->integer, r->list), words(ValueTag::GraphicsList, 5, two)},
      {"aLet", 27, [&] { return aLet::mk(allocator, two, fake(1), 6); }, READ(aLet, r->tag, r->list, r->integer, r->value),
       words(ValueTag::Let, two, 6, fake(1))},
      {"aIfBlock", 25, [&] { return aIfBlock::mk(allocator, two, fake(2)); }, READ(aIfBlock, r->tag, r->list, r->value),
       words(ValueTag::IfBlock, two, fake(2))},
      {"aSequence", 35, [&] { return aSequence::mk(allocator, two); }, READ(aSequence, r->tag, r->list),
       words(ValueTag::Sequence, two)},
      {"aSubscript", 37, [&] { return aSubscript::mk(allocator, fake(3), two); },
       READ(aSubscript, r->tag, r->value, r->list), words(ValueTag::Subscript, fake(3), two)},
      {"aFrame", 19,
       [&] { return aFrame::mk(allocator, slots, 3, fake_as<aFrame>(1), fake_as<aFrame>(2), 8, 9); },
       READ(aFrame, r->tag, r->count, r->first_integer, r->second_integer, r->first, r->second, r->values),
       words(ValueTag::Frame, 3, 8, 9, fake(1), fake(2), slots)},
      {"aMetafileHandle", 47, [&] { return aMetafileHandle::mk(allocator, 77); },
       READ(aMetafileHandle, r->tag, r->kind, word_at(r, 8), host.last_graphic_handle()),
       words(ValueTag::GraphicHandle, 2, kFill, 77)},
      {"aBitmapHandle", 47, [&] { return aBitmapHandle::mk(allocator, 78); },
       READ(aBitmapHandle, r->tag, r->kind, host.last_graphic_handle()), words(ValueTag::GraphicHandle, 1, 78)},
      // The integers are not stored.
      {"aComponent", 10, [&] { return aComponent::mk(allocator, component, 1, 2); },
       READ(aComponent, r->tag, r->component, word_at(r, sizeof(void*) == 8 ? 16 : 8)),
       words(ValueTag::Component, component, kFill)},
      {"aUnit (expression)", 44, [&] { return aUnit::mk(allocator, fake(4)); },
       READ(aUnit, r->tag, r->expression, word_at(&r->powers, 0)), words(ValueTag::Unit, fake(4), kFill)},
      {"aUnit (powers)", 44, [&] { return aUnit::mk(allocator, powers); },
       READ(aUnit, r->tag, r->expression, std::memcmp(&r->powers, &powers, sizeof powers)),
       words(ValueTag::Unit, nullptr, 0)},
      {"Cons", 12, [&] { return Cons::mk(allocator, fake(1), nullptr); }, READ(Cons, r->item, r->next),
       words(fake(1), nullptr)},
      {"Defn", 14, [&] { return Defn::mk(allocator, fake(2), fake(3)); },
       READ(Defn, r->tag, r->first, r->zero8, r->zero12, r->second), words(ValueTag::Defn, fake(2), 0, 0, fake(3))},
      {"Defns", 12, [&] { return Defns::mk(allocator, fake_as<Defn>(2), nullptr); }, READ(Defns, r->item, r->next),
       words(fake(2), nullptr)},
      {"GlobalListList", 12, [&] { return GlobalListList::mk(allocator, fake_as<GlobalList>(4), nullptr); },
       READ(GlobalListList, r->item, r->next), words(fake(4), nullptr)},
      {"EfiFrame", 15, [&] { return EfiFrame::mk(allocator, slots, fake_as<EfiFrame>(6)); },
       READ(EfiFrame, r->slots, all_are(r->zero4, 0u), r->parent), words(slots, true, fake(6))},
  };
  // A compute request carries the payload its kind names (1 a list, 2 and 4 a value, 3 a Defn),
  // and none for another kind.
  Defn* defn = fake_as<Defn>(1);
  Cons* list = fake_as<Cons>(2);
  void* const payloads[] = {nullptr, list, fake(3), defn, fake(3)};
  for (int kind = 1; kind <= 5; ++kind)
    rows.push_back({"ceComputeRequest " + std::to_string(kind), 11,
                    [&, kind] { return ceComputeRequest::mk(allocator, ComputeRequestKind(kind), fake(3), defn, list); },
                    READ(ceComputeRequest, r->tag, r->kind, kind == 5 ? word_at(&r->payload, 0) : as_word(r->payload)),
                    words(ValueTag::ComputeRequest, kind, kind == 5 ? kFill : as_word(payloads[kind]))});
  rows.push_back({"ceComputeRequest (Defn)", 11, [&] { return ceComputeRequest::mk(allocator, defn); },
                  READ(ceComputeRequest, r->tag, r->kind, r->payload), words(ValueTag::ComputeRequest, 3, defn)});
  rows.push_back({"ceComputeRequest (list)", 11, [&] { return ceComputeRequest::mk(allocator, list); },
                  READ(ceComputeRequest, r->tag, r->kind, r->payload), words(ValueTag::ComputeRequest, 1, list)});
  // Strings and symbolic expressions share one operation and differ by tag.
  for (bool symbolic : {false, true})
    for (char const* text : {"x + y", ""})
      rows.push_back({std::string(symbolic ? "aSymbolicExpression \"" : "aString \"") + text + "\"", 36,
                      [&, symbolic, text] {
                        return symbolic ? aSymbolicExpression::mk(allocator, text) : aString::mk(allocator, text);
                      },
                      READ(aString, word_at(r, 0), std::strcmp(r->text, text), r->size),
                      words(symbolic ? 21 : 3, 0, std::strlen(text) + 1)});
  // Two flags make the low bits of a byte; the rest of its word is not written.
  for (int flags = 0; flags < 4; ++flags)
    rows.push_back({"aSymbolicEval " + std::to_string(flags), 39,
                    [&, flags] { return aSymbolicEval::mk(allocator, fake(1), two, flags & 1, flags & 2); },
                    READ(aSymbolicEval, r->tag, r->flags, all_are(r->host_bytes, Host::kFillByte), r->value, r->list),
                    words(ValueTag::SymbolicEval, flags, true, fake(1), two)});
  for (bool flag : {false, true}) {
    rows.push_back({std::string("aUnitSymbolicEval ") + (flag ? "true" : "false"), 39,
                    [&, flag] { return aUnitSymbolicEval::mk(allocator, fake(2), flag); },
                    READ(aUnitSymbolicEval, r->tag, r->flag, r->value), words(ValueTag::UnitSymbolicEval, flag, fake(2))});
    rows.push_back({std::string("aRedef ") + (flag ? "true" : "false"), 54,
                    [&, flag] { return aRedef::mk(allocator, fake(3), flag); }, READ(aRedef, r->tag, r->value, r->flag),
                    words(ValueTag::Redef, fake(3), flag)});
  }
#undef READ
  for (Row const& row : rows) {
    SCOPED_TRACE(row.name);
    void* made = expect_calls({row.position}, row.make);
    EXPECT_EQ(row.read(made), row.want);
  }

  aLambda* lambda = aLambda::mk(allocator, three, fake(5), 11, 22, 33u);
  lambda->zero36 = 0x5a5a;  // a copy takes every word, whatever it holds
  aLambda* copy = expect_calls({26}, [&] { return aLambda::mk(allocator, lambda, fake(8)); });
  EXPECT_EQ(copy->value28, fake(8));
  copy->value28 = nullptr;
  EXPECT_EQ(std::memcmp(copy, lambda, sizeof(aLambda)), 0);
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

TEST_F(Nodes, GlobalsComeFromTheHeapAndAreNumberedWhenListed) {
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

  for (Global* g : {empty, holding, copy}) g->del(allocator);
  for (GlobalList* node : {first, middle, last}) node->del(nullptr);
  deq->del(allocator);  // the fixture checks that they went back to the heap
}

}  // namespace
