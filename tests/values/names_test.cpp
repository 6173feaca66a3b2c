// What the library's own tables generate: the allocator interface, whose operations sit in the COM
// slots their rows name, and the exported built-in names and value constants.
#include <set>
#include <tuple>

#include "tests/support/test_support.h"

namespace {

using std::make_tuple;

// A virtual member's slot: its pointer-to-member holds the vtable offset plus one (Itanium C++ ABI).
template <class Method>
std::ptrdiff_t slot_of(Method method) {
  static_assert(sizeof(Method) == 2 * sizeof(std::ptrdiff_t));
  std::ptrdiff_t words[2];
  std::memcpy(words, &method, sizeof words);
  return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

TEST(IvlAllocator, EveryRowOfTheTableSitsAtItsPosition) {
#define HOST_ROW(position) EXPECT_EQ(slot_of(&IvlAllocator::HostOperation##position), position);
#define MAKE_ROW(position, name, ...) EXPECT_EQ(slot_of(&IvlAllocator::name), position) << #name;
  VELLUM_ALLOCATOR_SLOTS(HOST_ROW, MAKE_ROW, MAKE_ROW)
}

// Every row's three exports agree: the text, a string record of that very text measured with
// its NUL, and an unbound identifier naming that very string record.
TEST(BuiltinNames, EveryRowsTextStringAndIdentifierAgree) {
  std::set<void const*> records;
  auto check = [&](char const* text, aString const* s, aIdentifier const* id) {
    EXPECT_EQ(make_tuple(s->tag, s->text, s->size), make_tuple(ValueTag::String, text, std::strlen(text) + 1));
    EXPECT_EQ(make_tuple(id->tag, id->integer, id->name, id->binding, id->global_list, id->defn, id->second_defn),
              make_tuple(ValueTag::Identifier, 0, s, aIdentifier::kUnbound, nullptr, nullptr, nullptr))
        << text;
    records.insert({s, id});
  };
#define CHECK_ROW(stem, text) check(stem##_STRING, stem##_sString, stem##_sUnIdent);
  VELLUM_BUILTIN_NAMES(CHECK_ROW)
  EXPECT_EQ(records.size(), 2 * 121u) << "121 rows, each with records of its own, shared texts included";
}

TEST(ValueConstants, AreTheNumbersZeroToThreeAndTheDimensionlessUnit) {
  int k = 0;
  for (aComplex const* z : {sComplexZero, sComplexOne, sComplexTwo, sComplexThree})
    EXPECT_EQ(make_tuple(z->tag, z->reserved, vellum::test::bits(z->real), vellum::test::bits(z->imag)),
              make_tuple(ValueTag::Complex, 0, vellum::test::bits(k++), 0u));
  UnitPowers const zeros{};
  EXPECT_EQ(make_tuple(sUnitZero->tag, sUnitZero->expression, std::memcmp(&sUnitZero->powers, &zeros, sizeof zeros)),
            make_tuple(ValueTag::Unit, nullptr, 0));
}

}  // namespace
