// The signature records, walked through the library's own table: each pairs the list of the codes
// of its argument words with its result, where a word stands for the value tag of its record kind.
#include <algorithm>
#include <map>
#include <sstream>
#include <tuple>

#include "tests/support/test_support.h"

namespace {

using std::make_tuple;

// The record kind of each word; Any (code 1) names none.
std::map<std::string, ValueTag> const kKinds = {
    {"Any", ValueTag(1)}, {"Num", ValueTag::Complex}, {"Str", ValueTag::String}, {"Mat", ValueTag::Matrix},
    {"List", ValueTag::List}, {"Lam", ValueTag::Lambda}, {"Id", ValueTag::Identifier}, {"Rng", ValueTag::Range},
    {"Component", ValueTag::Component}, {"APair", ValueTag::Pair}, {"Unit", ValueTag::Unit},
    {"GlobList", ValueTag::GlobalList}};
std::int32_t code(std::string const& word) { return static_cast<std::int32_t>(kKinds.at(word)); }

// Whether a list holds the codes of these words ("Mat_Num" or "Mat, Num"), each with a zero
// second word.
void expect_words(sTypelist const* list, std::string words) {
  std::replace_if(words.begin(), words.end(), [](char c) { return c == '_' || c == ','; }, ' ');
  std::istringstream in(words);
  std::int32_t k = 0;
  for (std::string word; in >> word; ++k) {
    ASSERT_LT(k, list->count) << words;
    EXPECT_EQ(make_tuple(list->types[k].code, list->types[k].reserved), make_tuple(code(word), 0u)) << words;
  }
  EXPECT_EQ(list->count, k) << words;
}

using SignatureRecords = vellum::test::HostTest;

// The lists and type-code objects are generated from the same words as the records that use them.
// A function node made of a signature takes its arity from it, and copies the seven words.
TEST_F(SignatureRecords, PairTheListOfTheirArgumentWordsWithTheirResult) {
  Anyval* value = aString::mk(allocator, "body");
  auto check = [&](std::string args, char const* result, sFunctionInfo const& record, sFunctionInfo const* pointer) {
    SCOPED_TRACE(args + "_to_" + result);
    EXPECT_EQ(make_tuple(pointer, record.reserved, record.result.code, record.result.reserved, record.openArity),
              make_tuple(&record, 0u, code(result), 0u, 0u));
    EXPECT_EQ(record.args == &VarTypelist, args == "Variable");
    expect_words(record.args, args == "Variable" ? "" : args);
    sEfiFuncInfo const info{pointer, {"name", &record, value, "params", nullptr, nullptr}};
    aFunction* node = aFunction::mk(allocator, info, value);
    EXPECT_EQ(make_tuple(node->tag, node->arity, node->value, std::memcmp(&node->info, &info, sizeof info)),
              make_tuple(ValueTag::Function, record.args->count, value, 0));
  };
#define SIGNATURE_ROW(result, args) check(#args, #result, val_##args##_to_##result, args##_to_##result);
  VELLUM_SIGNATURES(SIGNATURE_ROW)
  sFunctionInfo const open{0, &MatNumTypelist, MatType, 1};
  EXPECT_EQ(aFunction::mk(allocator, sEfiFuncInfo{&open, {}}, nullptr)->arity, 0) << "an open arity gives 0";
}

}  // namespace
