// The record constructors: the operations each asks the host for, its tag, and what it works out
// or must leave alone (the host fills fresh records with 0xA5).
#include <limits>
#include <string>
#include <tuple>

#include "tests/support/test_support.h"

namespace {

using namespace vellum::test;
using std::make_tuple;
using Host = vellum::host::HostAllocator;
constexpr std::uint32_t kFill = Host::kFillWord;
constexpr std::uint32_t kZeros[10] = {};

class Constructors : public HostTest {
 protected:
  // Expects the allocator operation called last, by name, and the record's tag.
  template <class Record>
  Record* made(Record* record, char const* operation, ValueTag tag) {
    EXPECT_EQ(Host::operation_name(host.call_log().back()), operation);
    EXPECT_STREQ(value_tag_name(ValueTag(word_at(record, 0))), value_tag_name(tag)) << operation;
    return record;
  }
  Cons* three = Cons::mk(allocator, fake(1), Cons::mk(allocator, fake(2), Cons::mk(allocator, fake(3), nullptr)));
};

TEST_F(Constructors, MatrixSizeColumnsAndLeadingDimensionFollowFromTheArguments) {
  // rows, cols, leading dimension given (0: the form without), size; size, cols and ld stored
  std::tuple<int, int, int, unsigned, unsigned, int, int> const cases[] = {
      {3, 2, 0, 0, 48, 2, 3},   // default size: ld = rows
      {3, 2, 0, 64, 64, 2, 4},  // room per column
      {3, 2, 0, 60, 60, 2, 3},  // unsigned division rounds down
      {4, 0, 0, 0, 0, 1, 0},    // 0 columns are stored as 1
      {0, 3, 0, 0, 0, 3, 0},    {1, 1, 0, 0, 8, 1, 1},
      {3, 2, 5, 0, 48, 2, 5},   // an explicit leading dimension does not enter the size
      {3, 0, 7, 56, 56, 1, 7},
  };
  for (auto [rows, cols, given_ld, size, stored_size, stored_cols, ld] : cases) {
    double *real = static_cast<double*>(::operator new(64)), *imag = static_cast<double*>(::operator new(64));
    aMatrix* m = given_ld ? aMatrix::mk(allocator, rows, cols, given_ld, real, imag, size)
                          : aMatrix::mk(allocator, rows, cols, real, imag, size);
    auto const& asked = host.last_matrix_request();  // with the columns as given
    EXPECT_EQ(make_tuple(asked.real, asked.imag, asked.rows, asked.cols, asked.size, word_at(m, 0), m->ld, m->size,
                         m->host_word1, m->real, m->imag, m->rows, m->cols, m->host_word2, m->host_word3),
              make_tuple(real, imag, rows, cols, stored_size, 5u, ld, stored_size, kFill, real, imag, rows,
                         stored_cols, 0u, 0u));
  }
}

TEST_F(Constructors, MatrixOfOneCellHasOnlyThePartArraysTheValueNeeds) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  // Cell (i, j) and its value; whether a real and an imaginary array are made.
  std::tuple<int, int, double, double, bool, bool> const cases[] = {
      {2, 3, 5.0, 0.0, true, false},  {1, 2, 0.0, 2.0, false, true}, {1, 2, 0.0, 0.0, true, false},
      {0, 0, 3.0, -4.0, true, true},  {2, 0, -0.0, 0.0, true, false}, {0, 1, 0.0, -0.0, true, false},
      {0, 0, nan, 0.0, true, false},  {0, 0, 0.0, nan, false, true},
  };
  for (auto [i, j, real, imag, has_real, has_imag] : cases) {
    aComplex z = complex_record(real, imag);
    aMatrix* m = aMatrix::mk(allocator, i, j, &z);
    int n = (i + 1) * (j + 1);
    ASSERT_EQ(make_tuple(m->rows, m->cols, m->ld, m->size, m->real != nullptr, m->imag != nullptr),
              make_tuple(i + 1, j + 1, i + 1, 8u * n, has_real, has_imag));
    for (int k = 0; k < n; ++k)  // cell (i, j) is the last row of the last column
      EXPECT_EQ(make_tuple(bits(m->real ? m->real[k] : 0.0), bits(m->imag ? m->imag[k] : 0.0)),
                make_tuple(bits(k == n - 1 && has_real ? real : 0.0), bits(k == n - 1 && has_imag ? imag : 0.0))) << k;
  }
}

// What constructors work out beyond storing their arguments. (The value nodes are generated from
// one table, fields, arguments and stores alike; aOnError stands apart and swaps its arguments.)
TEST_F(Constructors, OfNodesThatDoMoreThanStore) {
  aOnError* on_error = made(aOnError::mk(allocator, fake(1), fake(2)), "AllocOnError", ValueTag::OnError);
  EXPECT_EQ(make_tuple(on_error->first_argument, on_error->second_argument), make_tuple(fake(1), fake(2)));
  made(aBreak::mk(allocator), "AllocBreak", ValueTag::Break);
  made(aContinue::mk(allocator), "AllocContinue", ValueTag::Continue);
  made(aSymbolicExpression::mk(allocator, "x"), "AllocString", ValueTag::SymbolicExpression);
  EXPECT_EQ(made(aApply::mk(allocator, fake(9), three, 7), "AllocApply", ValueTag::Apply)->length, 3);
  EXPECT_EQ(aApply::mk(allocator, fake(9), nullptr, 7)->length, 0);
  aLambda* lambda = made(aLambda::mk(allocator, three, fake(5), 11, 22, 33u), "AllocLambda", ValueTag::Lambda);
  EXPECT_EQ(make_tuple(lambda->second_integer, lambda->first_integer, lambda->length, lambda->reserved1, lambda->attached_value,
                       lambda->unsigned_integer, lambda->reserved2),
            make_tuple(22, 11, 3, 0u, nullptr, 33u, 0u));
  lambda->reserved2 = 0x5a5a;
  aLambda* copy = made(aLambda::mk(allocator, lambda, fake(8)), "AllocLambda", ValueTag::Lambda);
  lambda->attached_value = fake(8);
  EXPECT_EQ(std::memcmp(copy, lambda, sizeof(aLambda)), 0) << "every word copied, offset 28 replaced";
  made(aFrame::mk(allocator, nullptr, 3, fake_as<aFrame>(1), fake_as<aFrame>(2), 8, 9), "AllocFrame", ValueTag::Frame);
  EXPECT_EQ(make_tuple(aMetafileHandle::mk(allocator, 7)->kind, aBitmapHandle::mk(allocator, 7)->kind),
            make_tuple(2, 1));
  for (int flags = 0; flags < 4; ++flags) {  // the low bits of a byte whose word is not written otherwise
    auto* eval = aSymbolicEval::mk(allocator, fake(1), three, flags & 1, flags & 2);
    auto* unit_eval = aUnitSymbolicEval::mk(allocator, fake(2), flags & 1);
    EXPECT_EQ(make_tuple(eval->tag, word_at(eval, 4), unit_eval->tag, word_at(unit_eval, 4)),
              make_tuple(ValueTag::SymbolicEval, (kFill & ~0xFFu) | flags, ValueTag::UnitSymbolicEval,
                         (kFill & ~0xFFu) | (flags & 1)));
  }
  // A compute request carries the payload its kind names (1 a list, 2 and 4 a value, 3 a Defn).
  void* const payloads[] = {nullptr, three, fake(3), fake(4), fake(3)};
  for (int kind = 1; kind <= 5; ++kind) {
    auto* request = ceComputeRequest::mk(allocator, ComputeRequestKind(kind), fake(3), fake_as<Defn>(4), three);
    EXPECT_EQ(make_tuple(request->tag, request->kind, word_at(&request->payload, 0)),
              make_tuple(ValueTag::ComputeRequest, kind, kind < 5 ? word_at(&payloads[kind], 0) : kFill));
  }
  Defn* defn = made(Defn::mk(allocator, fake(2), fake(3)), "AllocDefn", ValueTag::Defn);
  EXPECT_EQ(make_tuple(defn->reserved1, defn->reserved2, defn->second), make_tuple(0u, 0u, fake(3)));
  EXPECT_EQ(std::memcmp(EfiFrame::mk(allocator, nullptr, nullptr)->reserved, kZeros, sizeof(EfiFrame::reserved)), 0);
}

TEST_F(Constructors, IdentifiersOfEveryForm) {
  aString* name = aString::mk(allocator, "x");
  auto* gl = fake_as<GlobalList>(1);
  Defn *d1 = fake_as<Defn>(2), *d2 = fake_as<Defn>(3), *none = nullptr;
  using Fields = std::tuple<std::int32_t, std::int32_t, GlobalList*, Defn*, Defn*>;
  for (bool text : {false, true}) {
    // The binding, integer, list, definition and second definition of the identifier each form makes.
    auto expect = [&](aIdentifier* id, Fields fields) {
      made(id, "AllocIdentifier", ValueTag::Identifier);
      EXPECT_EQ(Fields(id->binding, id->integer, id->global_list, id->defn, id->second_defn), fields) << text;
      EXPECT_TRUE(text ? id->name != name && std::strcmp(id->name->text, "x") == 0 : id->name == name);
    };
    auto named = [&](auto... rest) {
      return text ? aIdentifier::mk(allocator, "x", rest...) : aIdentifier::mk(allocator, name, rest...);
    };
    expect(named(), {2, 0, nullptr, nullptr, nullptr});
    expect(named(7), {2, 7, nullptr, nullptr, nullptr});
    expect(named(gl, d1, d2, 7), {1, 7, gl, d1, d2});
    expect(named(gl, none, d2, 7), {2, 7, nullptr, nullptr, d2});  // unbound: the list goes
    expect(named(gl, none, 7), {1, 7, gl, nullptr, nullptr});  // global all the same
    aIdentifier* local = named(sLocalDef{0x1234});
    // A local definition writes the low 16 bits of the list's word only.
    EXPECT_EQ(word_at(&local->global_list, 0), (kFill & ~0xFFFFu) | 0x1234);
    local->global_list = nullptr;
    expect(local, {0, 0, nullptr, nullptr, nullptr});
  }
}

// The texts where C runtimes read numbers differently (hexadecimal forms, infinities and NaNs
// with sign and payload, denormals and the rounding at both ends of the range, long digit
// strings, partial exponents), with the bits every configuration must read; no text, or none
// readable, reads as 0.0. The number comes with the pair of the texts it was read from.
TEST_F(Constructors, BigComplexReadsTrickyNumberTextsToTheSameBitsEverywhere) {
  std::string const least_denormal = "0." + std::string(323, '0') + "49406564584124654";
  std::pair<char const*, std::uint64_t> const rows[] = {
      {"0x1.8p1", 0x4008000000000000}, {"0x1.0000000000001p-1022", 0x0010000000000001},
      {"0X1P-1074", 0x0000000000000001}, {"0x1p-1075", 0},  // the least denormal; half of it rounds to even
      {"-INF", 0xfff0000000000000}, {"Infinity", 0x7ff0000000000000}, {"nan", 0x7ff8000000000000},
      {"-nan", 0xfff8000000000000}, {"nan(123)", 0x7ff8000000000000},  // the payload is not read
      {"4.9406564584124654e-324", 0x0000000000000001}, {least_denormal.c_str(), 0x0000000000000001},
      {"2.4703282292062328e-324", 1}, {"2.4703282292062327e-324", 0},  // just above and below half of it
      {"2.2250738585072011e-308", 0x000fffffffffffff},                   // the largest denormal
      {"1.7976931348623158e308", 0x7fefffffffffffff},  // the largest finite, and a text that rounds past it
      {"1.7976931348623159e308", 0x7ff0000000000000},
      {"1e-400", 0x0000000000000000}, {"-1e400", 0xfff0000000000000},
      {"9007199254740993", 0x4340000000000000},  // 2^53 + 1: a tie, to even
      {"0.1000000000000000055511151231257827021181583404541015625", 0x3fb999999999999a},
      {"123456789012345678901234567890e-10", 0x43e56a95319d63e1},
      {"179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587207096"
       "33028641669288791094655554785194040263065748867150582068190890200070838367627385484581771153176447573"
       "0270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177145446499",
       0x7f50624dd2f1a9fc},
      {"00000000000000000000000000000000000001.5", 0x3ff8000000000000}, {" \t+7x", 0x401c000000000000},
      {"1e+", 0x3ff0000000000000}, {"2.5e-2f", 0x3f9999999999999a},  // the exponent, or the rest, left unread
      {".5", 0x3fe0000000000000}, {"5.", 0x4014000000000000}, {"-0", 0x8000000000000000},
      {"-0x", 0}, {"abc", 0}, {nullptr, 0},  // nothing read: the number stays 0
  };
  for (auto [text, want] : rows) {
    aString* given = text ? aString::mk(allocator, text) : nullptr;
    aComplex const* number = aBigComplex::mk(allocator, given, given)->number;
    EXPECT_EQ(make_tuple(bits(number->real), bits(number->imag)), make_tuple(want, want)) << (text ? text : "(null)");
  }
  aString *one = aString::mk(allocator, "1"), *two = aString::mk(allocator, "2");
  aBigComplex* big = made(aBigComplex::mk(allocator, one, two), "AllocPair", ValueTag::BigComplex);
  EXPECT_EQ(make_tuple(big->texts->tag, big->texts->first, big->texts->second, big->number->tag,
                       word_at(big->number, 4), big->number->real, big->number->imag),
            make_tuple(ValueTag::Pair, one, two, ValueTag::Complex, kFill, 1.0, 2.0));
}

TEST_F(Constructors, GlobalsComeFromTheHeapAndAreNumberedWhenListed) {
  Global* empty = made(Global::mk(allocator), "AllocGlobal", ValueTag::Global);
  Global* holding = made(Global::mk(allocator, fake(1)), "AllocGlobal", ValueTag::Global);
  EXPECT_EQ(make_tuple(empty->id, empty->state, empty->value, holding->id, holding->state, holding->value),
            make_tuple(-1, Global::kEmpty, nullptr, -1, Global::kHoldsValue, fake(1)));
  for (Global* g : {empty, holding})
    EXPECT_EQ(std::memcmp(g->reserved1, kZeros, sizeof g->reserved1) | std::memcmp(g->reserved2, kZeros, sizeof g->reserved2), 0);
  // No other test of the program lists globals: the first one listed gets 1.
  GlobalList* first = made(GlobalList::mk(allocator, nullptr, empty, nullptr), "AllocGlobalList", ValueTag::GlobalList);
  GlobalList* last = GlobalList::mk(allocator, nullptr, holding, nullptr);
  EXPECT_EQ(make_tuple(empty->id, holding->id), make_tuple(1, 2));
  GlobalList* middle = GlobalList::mk(allocator, first, empty, last);
  EXPECT_EQ(make_tuple(empty->id, middle->previous, middle->global, middle->next, first->next, last->previous),
            make_tuple(3, first, empty, last, middle, middle));  // a second node numbers the global again
  Global* copy = Global::mk(allocator, static_cast<Global const*>(holding));
  EXPECT_EQ(std::memcmp(static_cast<void*>(copy), static_cast<void*>(holding), sizeof(Global)), 0);
  GlobalsDEQ* deq = GlobalsDEQ::mk(allocator);
  EXPECT_EQ(make_tuple(deq->first, deq->second), make_tuple(nullptr, nullptr));
  for (Global* g : {empty, holding, copy}) g->del(allocator);
  for (GlobalList* node : {first, middle, last}) node->del(nullptr);
  deq->del(allocator);  // the fixture checks that they went back to the heap
}

}  // namespace
