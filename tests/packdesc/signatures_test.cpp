// The exported description data: every object is referenced here by name, so a missing one
// fails the build of this test, and every list and record is checked against the words of its
// name.
#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>
#include <set>
#include <string>

#include "tests/support/test_support.h"

namespace {

using vellum::test::HostTest;

// The words of the names, the value tags they stand for and their type-code objects (a word
// without one is null).
struct Word {
  char const* word;
  std::int32_t code;
  svlType const* object;
};
Word const kWords[] = {
    {"GlobList", 31, &GlobListType}, {"Component", 19, &ComponentType}, {"APair", 22, nullptr},
    {"Any", 1, &AnyType},            {"Num", 2, &NumType},             {"Str", 3, &StrType},
    {"Mat", 5, &MatType},            {"List", 6, &ListType},           {"Lam", 8, nullptr},
    {"Id", 10, &IdType},             {"Rng", 16, &RngType},            {"Unit", 29, &UnitType},
};

Word const& word(std::string const& name) {
  for (Word const& w : kWords)
    if (name == w.word) return w;
  throw std::invalid_argument("no word " + name);
}
std::int32_t code_of(std::string const& name) { return word(name).code; }

// "GlobListAnyAnyComponent" -> GlobList, Any, Any, Component.
std::vector<std::string> words_of(std::string const& name) {
  std::vector<std::string> words;
  for (std::size_t at = 0; at < name.size();) {
    std::size_t before = at;
    for (Word const& w : kWords)
      if (name.compare(at, std::strlen(w.word), w.word) == 0) {
        words.push_back(w.word);
        at += std::strlen(w.word);
        break;
      }
    if (at == before) throw std::invalid_argument("not made of words: " + name);
  }
  return words;
}

struct ListRow {
  char const* words;
  sTypelist const* list;
  sTypelist const* pointer;
  svlType const* entries;  // the type-code object for one word, else the entry array
};
// A list by the words of its name: the list, its pointer variable and its entries (for one word,
// the type-code object itself).
#define LIST(words) {#words, &words##Typelist, p##words##Typelist, words##Type}
#define LIST1(word) {#word, &word##Typelist, p##word##Typelist, &word##Type}
ListRow const kLists[] = {
    LIST1(Rng), LIST(RngRng), LIST(RngLam), LIST(StrAny), LIST1(Str), LIST1(Unit), LIST(UnitUnit), LIST(UnitNum),
    LIST(ListNum), LIST1(Any), LIST(AnyAny), LIST(AnyAnyAny), LIST(AnyAnyAnyAny), LIST(AnyAnyAnyAnyAny),
    LIST(AnyAnyAnyAnyAnyAny), LIST(AnyAnyAnyAnyAnyAnyAny), LIST(AnyAnyAnyAnyAnyAnyAnyAny),
    LIST(AnyAnyAnyAnyAnyAnyAnyAnyAny), LIST(AnyAnyAnyAnyAnyAnyAnyAnyAnyAny),
    LIST(AnyAnyAnyAnyAnyAnyAnyAnyAnyAnyAny), LIST1(Id), LIST1(Num), LIST(NumNum), LIST(NumNumNum),
    LIST(NumNumNumNum), LIST(NumNumNumMat), LIST1(Mat), LIST(MatMat), LIST(MatNum), LIST(MatMatNum),
    LIST(MatNumNum), LIST(MatMatMatNum), LIST(MatMatMatMat), LIST(MatMatNumNum), LIST(MatNumNumNumLam),
    LIST(MatNumNumNumLamNum), LIST(MatNumNumNumLamLamNum), LIST(MatNumNumNumLamNumNum),
    LIST(MatNumNumNumLamLamNumNum), LIST(MatMatLam), LIST(MatNumNumLamLamLam), LIST(MatMatNumNumNumLamLamLamLam),
    LIST(MatMatMatMatMatMatMatNum), LIST(NumNumNumNumNumNumNum), LIST(NumNumLam), LIST(LamNum), LIST(LamNumNum),
    LIST(LamNumNumNum), LIST(LamNumNumNumNum), LIST(LamNumNumNumNumNum), LIST(LamNumNumNumNumNumNum),
    LIST(LamNumNumNumNumNumNumNumNum), LIST(LamNumNumNumNumNumMatNumNum), LIST(LamNumNumNumAny), LIST(LamNumMatNum),
    LIST(LamNumMatNumNum), LIST(LamNumMatNumNumNum), LIST1(List), LIST(LamLamLamNumNumNumMatNumNumNumNum),
    LIST1(GlobList), LIST(GlobListAny), LIST(AnyAnyComponent), LIST(GlobListAnyAnyComponent),
    LIST(GlobListAnyAnyAny), LIST(NumLamNumNum),
};

struct SignatureRow {
  char const* args;
  char const* result;
  sFunctionInfo const* record;
  sFunctionInfo const* pointer;
};
// A record by its argument words and result: the record and its pointer variable.
#define SIG(args, result) {#args, #result, &val_##args##_to_##result, args##_to_##result}
SignatureRow const kSignatures[] = {
    SIG(Num, Num), SIG(Num_Num, Num), SIG(Num_Num_Num, Num), SIG(Num_Num_Num_Num, Num), SIG(Mat, Num),
    SIG(Mat_Mat, Num), SIG(Mat_Mat_Mat_Num, Num), SIG(Mat_Mat_Num_Num, Num), SIG(Mat_Mat_Mat_Mat, Num),
    SIG(Num_Lam_Num_Num, Num), SIG(Mat_Num_Num_Num_Lam, Num), SIG(Lam_Num, Num), SIG(Lam_Num_Num, Num),
    SIG(Lam_Num_Num_Num, Num), SIG(Lam_Num_Num_Num_Any, Num), SIG(Lam_Num_Num_Num_Num, Num),
    SIG(Lam_Num_Num_Num_Num_Num, Num), SIG(Lam_Num_Num_Num_Num_Num_Num_Num_Num, Num),
    SIG(Lam_Num_Num_Num_Num_Num_Mat_Num_Num, Num), SIG(Any, Num), SIG(Any_Any, Num), SIG(Any_Any_Any, Num),
    SIG(Any_Any_Any_Any, Num), SIG(Any_Any_Any_Any_Any, Num), SIG(Variable, Num), SIG(Str_Any, Num),
    SIG(Rng_Lam, Num),
    SIG(Num, Mat), SIG(Num_Num, Mat), SIG(Num_Num_Num, Mat), SIG(Num_Num_Num_Mat, Mat), SIG(Mat, Mat),
    SIG(Mat_Num, Mat), SIG(Mat_Mat, Mat), SIG(Mat_Mat_Num, Mat), SIG(Mat_Num_Num, Mat),
    SIG(Mat_Num_Num_Num_Lam_Num, Mat), SIG(Mat_Num_Num_Num_Lam_Num_Num, Mat), SIG(Mat_Num_Num_Num_Lam_Lam_Num, Mat),
    SIG(Mat_Num_Num_Num_Lam_Lam_Num_Num, Mat), SIG(Mat_Mat_Mat_Mat_Mat_Mat_Mat_Num, Mat), SIG(Mat_Mat_Lam, Mat),
    SIG(Mat_Num_Num_Lam_Lam_Lam, Mat), SIG(Mat_Mat_Num_Num_Num_Lam_Lam_Lam_Lam, Mat), SIG(Lam_Num_Num, Mat),
    SIG(Lam_Num_Num_Num, Mat), SIG(Lam_Num_Num_Num_Num, Mat), SIG(Lam_Num_Num_Num_Num_Num, Mat),
    SIG(Lam_Num_Num_Num_Num_Num_Num, Mat), SIG(Lam_Num_Num_Num_Num_Num_Num_Num_Num, Mat),
    SIG(Lam_Num_Num_Num_Num_Num_Mat_Num_Num, Mat), SIG(Lam_Num_Mat_Num, Mat), SIG(Lam_Num_Mat_Num_Num, Mat),
    SIG(Lam_Num_Mat_Num_Num_Num, Mat), SIG(Lam_Lam_Lam_Num_Num_Num_Mat_Num_Num_Num_Num, Mat), SIG(Any, Mat),
    SIG(Any_Any, Mat), SIG(Any_Any_Any, Mat), SIG(Any_Any_Any_Any, Mat), SIG(Any_Any_Any_Any_Any, Mat),
    SIG(Any_Any_Any_Any_Any_Any, Mat), SIG(Any_Any_Any_Any_Any_Any_Any, Mat),
    SIG(Any_Any_Any_Any_Any_Any_Any_Any, Mat), SIG(Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_Any, Mat),
    SIG(Variable, Mat), SIG(List, Mat), SIG(Str, Mat), SIG(Rng, Mat), SIG(Rng_Rng, Mat),
    SIG(Any, Any), SIG(Any_Any, Any), SIG(Any_Any_Any, Any), SIG(Any_Any_Any_Any, Any),
    SIG(Any_Any_Any_Any_Any, Any), SIG(Any_Any_Any_Any_Any_Any, Any), SIG(Any_Any_Any_Any_Any_Any_Any, Any),
    SIG(Any_Any_Any_Any_Any_Any_Any_Any, Any), SIG(Any_Any_Any_Any_Any_Any_Any_Any_Any, Any),
    SIG(Any_Any_Any_Any_Any_Any_Any_Any_Any_Any, Any), SIG(List_Num, Any), SIG(Num_Num_Lam, Any),
    SIG(GlobList, Any), SIG(GlobList_Any, Any), SIG(GlobList_Any_Any_Any, Any),
    SIG(GlobList_Any_Any_Component, Any), SIG(Any_Any_Component, Any), SIG(Variable, Any),
    SIG(Any, Str), SIG(Any_Any, Str), SIG(Any_Any_Any, Str), SIG(Str, Str), SIG(Variable, Str),
    SIG(Any_Any, APair),
    SIG(Any, List), SIG(Variable, List),
    SIG(Any, Unit), SIG(Any_Any_Any_Any_Any_Any_Any, Unit), SIG(Id, Unit), SIG(Unit, Unit), SIG(Unit_Unit, Unit),
    SIG(Unit_Num, Unit), SIG(Variable, Unit),
};

TEST(TypeCodes, EveryObjectHoldsItsCodeAndAZeroWord) {
  for (Word const& w : kWords)
    if (w.object) {
      EXPECT_EQ(w.object->code, w.code) << w.word;
      EXPECT_EQ(w.object->reserved, 0u) << w.word;
    }
}

TEST(TypeLists, HoldTheirWordsInOrder) {
  std::set<std::string> names;
  std::size_t entry_arrays = 0;
  for (ListRow const& row : kLists) {
    SCOPED_TRACE(row.words);
    names.insert(row.words);
    std::vector<std::string> words = words_of(row.words);
    ASSERT_EQ(row.list->count, static_cast<std::int32_t>(words.size()));
    EXPECT_EQ(row.pointer, row.list) << "the pointer variable holds the list's address";
    EXPECT_EQ(row.list->types, row.entries);
    if (words.size() == 1) {
      // A one-word list's entries are the type-code object itself, not a copy.
      EXPECT_EQ(row.list->types, word(words[0]).object);
    } else {
      ++entry_arrays;
    }
    for (std::size_t k = 0; k < words.size(); ++k) {
      EXPECT_EQ(row.list->types[k].code, code_of(words[k])) << "entry " << k;
      EXPECT_EQ(row.list->types[k].reserved, 0u) << "entry " << k;
    }
  }
  EXPECT_EQ(names.size() + 1, 66u) << "65 lists with pointers, and VarTypelist";
  EXPECT_EQ(entry_arrays, 56u);
  EXPECT_EQ(VarTypelist.count, 0);
  EXPECT_EQ(VarTypelist.types, nullptr);
}

TEST(SignatureRecords, PairTheListOfTheirArgumentWordsWithTheirResult) {
  std::map<std::string, sTypelist const*> lists;
  for (ListRow const& row : kLists) lists[row.words] = row.list;
  std::set<sTypelist const*> used;
  std::map<std::string, int> per_result;
  for (SignatureRow const& row : kSignatures) {
    SCOPED_TRACE(std::string(row.args) + "_to_" + row.result);
    std::string words = row.args;
    words.erase(std::remove(words.begin(), words.end(), '_'), words.end());
    sTypelist const* expected = words == "Variable" ? &VarTypelist : lists.at(words);
    EXPECT_EQ(row.pointer, row.record);
    EXPECT_EQ(row.record->reserved, 0u);
    EXPECT_EQ(row.record->args, expected);
    EXPECT_EQ(row.record->result.code, code_of(row.result));
    EXPECT_EQ(row.record->result.reserved, 0u);
    EXPECT_EQ(row.record->openArity, 0u);
    used.insert(row.record->args);
    ++per_result[row.result];
  }
  EXPECT_EQ(std::size(kSignatures), 102u);
  EXPECT_EQ(per_result, (std::map<std::string, int>{
                            {"Num", 27}, {"Mat", 42}, {"Any", 18}, {"Str", 5}, {"APair", 1}, {"List", 2}, {"Unit", 7}}));
  // Every list but one serves some record.
  EXPECT_EQ(used.size(), 65u);
  EXPECT_EQ(used.count(&NumNumNumNumNumNumNumTypelist), 0u);
}

class FunctionNodes : public HostTest {};

TEST_F(FunctionNodes, TakeTheirArityFromTheSignatureUnlessItsArityIsOpen) {
  Anyval* value = aString::mk(allocator, "body");
  for (SignatureRow const& row : kSignatures) {
    sEfiFuncInfo info{row.pointer, {"name", "params", nullptr, reinterpret_cast<void const*>(0x1234), nullptr, nullptr}};
    aFunction* node = aFunction::mk(allocator, info, value);
    std::string args = row.args;
    int expected = args == "Variable" ? 0 : static_cast<int>(std::count(args.begin(), args.end(), '_') + 1);
    EXPECT_EQ(node->arity, expected) << row.args << "_to_" << row.result;
    EXPECT_EQ(node->tag, ValueTag::Function);
    EXPECT_EQ(std::memcmp(&node->info, &info, sizeof info), 0) << "the seven words are copied";
    EXPECT_EQ(node->value, value);
    host.release(node);
  }
  EXPECT_EQ(host.calls(20), std::size(kSignatures));
  // An open-arity signature gives arity 0.
  sFunctionInfo open = val_Mat_Num_to_Mat;
  open.openArity = 1;
  EXPECT_EQ(aFunction::mk(allocator, sEfiFuncInfo{&open, {}}, nullptr)->arity, 0);
}

}  // namespace
