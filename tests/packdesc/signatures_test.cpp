// The exported description data: every object is referenced here by name, so a missing one
// fails the build of this test, and every list and record is checked against the words of its
// name.
#include <map>
#include <set>
#include <string>

#include "tests/support/test_support.h"

namespace {

using vellum::test::HostTest;

// The words of the names and the value tags they stand for.
std::int32_t code_of(std::string const& word) {
  static std::map<std::string, std::int32_t> const codes = {
      {"Any", 1},   {"Num", 2}, {"Str", 3},  {"Mat", 5},        {"List", 6},   {"Lam", 8},
      {"Id", 10},   {"Rng", 16}, {"Component", 19}, {"APair", 22}, {"Unit", 29}, {"GlobList", 31}};
  return codes.at(word);
}

// "GlobListAnyAnyComponent" -> GlobList, Any, Any, Component (the longest word that fits first).
std::vector<std::string> words_of(std::string const& name) {
  static char const* const known[] = {"GlobList", "Component", "APair", "Any", "Num", "Str",
                                      "Mat",      "List",      "Lam",   "Id",  "Rng", "Unit"};
  std::vector<std::string> words;
  for (std::size_t at = 0; at < name.size();) {
    std::size_t before = at;
    for (char const* word : known)
      if (name.compare(at, std::string(word).size(), word) == 0) {
        words.push_back(word);
        at += std::string(word).size();
        break;
      }
    if (at == before) throw std::invalid_argument("not made of words: " + name);
  }
  return words;
}

struct TypeObject {
  char const* word;
  svlType const* object;
};
TypeObject const kTypeObjects[] = {
    {"Rng", &RngType}, {"Unit", &UnitType}, {"Num", &NumType}, {"Any", &AnyType},   {"Str", &StrType},
    {"Id", &IdType},   {"Mat", &MatType},   {"List", &ListType}, {"Component", &ComponentType},
    {"GlobList", &GlobListType},
};

struct ListRow {
  char const* words;
  sTypelist const* list;
  sTypelist const* pointer;
  svlType const* entries;  // the type-code object for one word, else the entry array
};
ListRow const kLists[] = {
    {"Rng", &RngTypelist, pRngTypelist, &RngType},
    {"RngRng", &RngRngTypelist, pRngRngTypelist, RngRngType},
    {"RngLam", &RngLamTypelist, pRngLamTypelist, RngLamType},
    {"StrAny", &StrAnyTypelist, pStrAnyTypelist, StrAnyType},
    {"Str", &StrTypelist, pStrTypelist, &StrType},
    {"Unit", &UnitTypelist, pUnitTypelist, &UnitType},
    {"UnitUnit", &UnitUnitTypelist, pUnitUnitTypelist, UnitUnitType},
    {"UnitNum", &UnitNumTypelist, pUnitNumTypelist, UnitNumType},
    {"ListNum", &ListNumTypelist, pListNumTypelist, ListNumType},
    {"Any", &AnyTypelist, pAnyTypelist, &AnyType},
    {"AnyAny", &AnyAnyTypelist, pAnyAnyTypelist, AnyAnyType},
    {"AnyAnyAny", &AnyAnyAnyTypelist, pAnyAnyAnyTypelist, AnyAnyAnyType},
    {"AnyAnyAnyAny", &AnyAnyAnyAnyTypelist, pAnyAnyAnyAnyTypelist, AnyAnyAnyAnyType},
    {"AnyAnyAnyAnyAny", &AnyAnyAnyAnyAnyTypelist, pAnyAnyAnyAnyAnyTypelist, AnyAnyAnyAnyAnyType},
    {"AnyAnyAnyAnyAnyAny", &AnyAnyAnyAnyAnyAnyTypelist, pAnyAnyAnyAnyAnyAnyTypelist, AnyAnyAnyAnyAnyAnyType},
    {"AnyAnyAnyAnyAnyAnyAny", &AnyAnyAnyAnyAnyAnyAnyTypelist, pAnyAnyAnyAnyAnyAnyAnyTypelist, AnyAnyAnyAnyAnyAnyAnyType},
    {"AnyAnyAnyAnyAnyAnyAnyAny", &AnyAnyAnyAnyAnyAnyAnyAnyTypelist, pAnyAnyAnyAnyAnyAnyAnyAnyTypelist, AnyAnyAnyAnyAnyAnyAnyAnyType},
    {"AnyAnyAnyAnyAnyAnyAnyAnyAny", &AnyAnyAnyAnyAnyAnyAnyAnyAnyTypelist, pAnyAnyAnyAnyAnyAnyAnyAnyAnyTypelist, AnyAnyAnyAnyAnyAnyAnyAnyAnyType},
    {"AnyAnyAnyAnyAnyAnyAnyAnyAnyAny", &AnyAnyAnyAnyAnyAnyAnyAnyAnyAnyTypelist, pAnyAnyAnyAnyAnyAnyAnyAnyAnyAnyTypelist, AnyAnyAnyAnyAnyAnyAnyAnyAnyAnyType},
    {"AnyAnyAnyAnyAnyAnyAnyAnyAnyAnyAny", &AnyAnyAnyAnyAnyAnyAnyAnyAnyAnyAnyTypelist, pAnyAnyAnyAnyAnyAnyAnyAnyAnyAnyAnyTypelist, AnyAnyAnyAnyAnyAnyAnyAnyAnyAnyAnyType},
    {"Id", &IdTypelist, pIdTypelist, &IdType},
    {"Num", &NumTypelist, pNumTypelist, &NumType},
    {"NumNum", &NumNumTypelist, pNumNumTypelist, NumNumType},
    {"NumNumNum", &NumNumNumTypelist, pNumNumNumTypelist, NumNumNumType},
    {"NumNumNumNum", &NumNumNumNumTypelist, pNumNumNumNumTypelist, NumNumNumNumType},
    {"NumNumNumMat", &NumNumNumMatTypelist, pNumNumNumMatTypelist, NumNumNumMatType},
    {"Mat", &MatTypelist, pMatTypelist, &MatType},
    {"MatMat", &MatMatTypelist, pMatMatTypelist, MatMatType},
    {"MatNum", &MatNumTypelist, pMatNumTypelist, MatNumType},
    {"MatMatNum", &MatMatNumTypelist, pMatMatNumTypelist, MatMatNumType},
    {"MatNumNum", &MatNumNumTypelist, pMatNumNumTypelist, MatNumNumType},
    {"MatMatMatNum", &MatMatMatNumTypelist, pMatMatMatNumTypelist, MatMatMatNumType},
    {"MatMatMatMat", &MatMatMatMatTypelist, pMatMatMatMatTypelist, MatMatMatMatType},
    {"MatMatNumNum", &MatMatNumNumTypelist, pMatMatNumNumTypelist, MatMatNumNumType},
    {"MatNumNumNumLam", &MatNumNumNumLamTypelist, pMatNumNumNumLamTypelist, MatNumNumNumLamType},
    {"MatNumNumNumLamNum", &MatNumNumNumLamNumTypelist, pMatNumNumNumLamNumTypelist, MatNumNumNumLamNumType},
    {"MatNumNumNumLamLamNum", &MatNumNumNumLamLamNumTypelist, pMatNumNumNumLamLamNumTypelist, MatNumNumNumLamLamNumType},
    {"MatNumNumNumLamNumNum", &MatNumNumNumLamNumNumTypelist, pMatNumNumNumLamNumNumTypelist, MatNumNumNumLamNumNumType},
    {"MatNumNumNumLamLamNumNum", &MatNumNumNumLamLamNumNumTypelist, pMatNumNumNumLamLamNumNumTypelist, MatNumNumNumLamLamNumNumType},
    {"MatMatLam", &MatMatLamTypelist, pMatMatLamTypelist, MatMatLamType},
    {"MatNumNumLamLamLam", &MatNumNumLamLamLamTypelist, pMatNumNumLamLamLamTypelist, MatNumNumLamLamLamType},
    {"MatMatNumNumNumLamLamLamLam", &MatMatNumNumNumLamLamLamLamTypelist, pMatMatNumNumNumLamLamLamLamTypelist, MatMatNumNumNumLamLamLamLamType},
    {"MatMatMatMatMatMatMatNum", &MatMatMatMatMatMatMatNumTypelist, pMatMatMatMatMatMatMatNumTypelist, MatMatMatMatMatMatMatNumType},
    {"NumNumNumNumNumNumNum", &NumNumNumNumNumNumNumTypelist, pNumNumNumNumNumNumNumTypelist, NumNumNumNumNumNumNumType},
    {"NumNumLam", &NumNumLamTypelist, pNumNumLamTypelist, NumNumLamType},
    {"LamNum", &LamNumTypelist, pLamNumTypelist, LamNumType},
    {"LamNumNum", &LamNumNumTypelist, pLamNumNumTypelist, LamNumNumType},
    {"LamNumNumNum", &LamNumNumNumTypelist, pLamNumNumNumTypelist, LamNumNumNumType},
    {"LamNumNumNumNum", &LamNumNumNumNumTypelist, pLamNumNumNumNumTypelist, LamNumNumNumNumType},
    {"LamNumNumNumNumNum", &LamNumNumNumNumNumTypelist, pLamNumNumNumNumNumTypelist, LamNumNumNumNumNumType},
    {"LamNumNumNumNumNumNum", &LamNumNumNumNumNumNumTypelist, pLamNumNumNumNumNumNumTypelist, LamNumNumNumNumNumNumType},
    {"LamNumNumNumNumNumNumNumNum", &LamNumNumNumNumNumNumNumNumTypelist, pLamNumNumNumNumNumNumNumNumTypelist, LamNumNumNumNumNumNumNumNumType},
    {"LamNumNumNumNumNumMatNumNum", &LamNumNumNumNumNumMatNumNumTypelist, pLamNumNumNumNumNumMatNumNumTypelist, LamNumNumNumNumNumMatNumNumType},
    {"LamNumNumNumAny", &LamNumNumNumAnyTypelist, pLamNumNumNumAnyTypelist, LamNumNumNumAnyType},
    {"LamNumMatNum", &LamNumMatNumTypelist, pLamNumMatNumTypelist, LamNumMatNumType},
    {"LamNumMatNumNum", &LamNumMatNumNumTypelist, pLamNumMatNumNumTypelist, LamNumMatNumNumType},
    {"LamNumMatNumNumNum", &LamNumMatNumNumNumTypelist, pLamNumMatNumNumNumTypelist, LamNumMatNumNumNumType},
    {"List", &ListTypelist, pListTypelist, &ListType},
    {"LamLamLamNumNumNumMatNumNumNumNum", &LamLamLamNumNumNumMatNumNumNumNumTypelist, pLamLamLamNumNumNumMatNumNumNumNumTypelist, LamLamLamNumNumNumMatNumNumNumNumType},
    {"GlobList", &GlobListTypelist, pGlobListTypelist, &GlobListType},
    {"GlobListAny", &GlobListAnyTypelist, pGlobListAnyTypelist, GlobListAnyType},
    {"AnyAnyComponent", &AnyAnyComponentTypelist, pAnyAnyComponentTypelist, AnyAnyComponentType},
    {"GlobListAnyAnyComponent", &GlobListAnyAnyComponentTypelist, pGlobListAnyAnyComponentTypelist, GlobListAnyAnyComponentType},
    {"GlobListAnyAnyAny", &GlobListAnyAnyAnyTypelist, pGlobListAnyAnyAnyTypelist, GlobListAnyAnyAnyType},
    {"NumLamNumNum", &NumLamNumNumTypelist, pNumLamNumNumTypelist, NumLamNumNumType},
};

struct SignatureRow {
  char const* args;
  char const* result;
  sFunctionInfo const* record;
  sFunctionInfo const* pointer;
};
SignatureRow const kSignatures[] = {
    {"Num", "Num", &val_Num_to_Num, Num_to_Num},
    {"Num_Num", "Num", &val_Num_Num_to_Num, Num_Num_to_Num},
    {"Num_Num_Num", "Num", &val_Num_Num_Num_to_Num, Num_Num_Num_to_Num},
    {"Num_Num_Num_Num", "Num", &val_Num_Num_Num_Num_to_Num, Num_Num_Num_Num_to_Num},
    {"Mat", "Num", &val_Mat_to_Num, Mat_to_Num},
    {"Mat_Mat", "Num", &val_Mat_Mat_to_Num, Mat_Mat_to_Num},
    {"Mat_Mat_Mat_Num", "Num", &val_Mat_Mat_Mat_Num_to_Num, Mat_Mat_Mat_Num_to_Num},
    {"Mat_Mat_Num_Num", "Num", &val_Mat_Mat_Num_Num_to_Num, Mat_Mat_Num_Num_to_Num},
    {"Mat_Mat_Mat_Mat", "Num", &val_Mat_Mat_Mat_Mat_to_Num, Mat_Mat_Mat_Mat_to_Num},
    {"Num_Lam_Num_Num", "Num", &val_Num_Lam_Num_Num_to_Num, Num_Lam_Num_Num_to_Num},
    {"Mat_Num_Num_Num_Lam", "Num", &val_Mat_Num_Num_Num_Lam_to_Num, Mat_Num_Num_Num_Lam_to_Num},
    {"Lam_Num", "Num", &val_Lam_Num_to_Num, Lam_Num_to_Num},
    {"Lam_Num_Num", "Num", &val_Lam_Num_Num_to_Num, Lam_Num_Num_to_Num},
    {"Lam_Num_Num_Num", "Num", &val_Lam_Num_Num_Num_to_Num, Lam_Num_Num_Num_to_Num},
    {"Lam_Num_Num_Num_Any", "Num", &val_Lam_Num_Num_Num_Any_to_Num, Lam_Num_Num_Num_Any_to_Num},
    {"Lam_Num_Num_Num_Num", "Num", &val_Lam_Num_Num_Num_Num_to_Num, Lam_Num_Num_Num_Num_to_Num},
    {"Lam_Num_Num_Num_Num_Num", "Num", &val_Lam_Num_Num_Num_Num_Num_to_Num, Lam_Num_Num_Num_Num_Num_to_Num},
    {"Lam_Num_Num_Num_Num_Num_Num_Num_Num", "Num", &val_Lam_Num_Num_Num_Num_Num_Num_Num_Num_to_Num, Lam_Num_Num_Num_Num_Num_Num_Num_Num_to_Num},
    {"Lam_Num_Num_Num_Num_Num_Mat_Num_Num", "Num", &val_Lam_Num_Num_Num_Num_Num_Mat_Num_Num_to_Num, Lam_Num_Num_Num_Num_Num_Mat_Num_Num_to_Num},
    {"Any", "Num", &val_Any_to_Num, Any_to_Num},
    {"Any_Any", "Num", &val_Any_Any_to_Num, Any_Any_to_Num},
    {"Any_Any_Any", "Num", &val_Any_Any_Any_to_Num, Any_Any_Any_to_Num},
    {"Any_Any_Any_Any", "Num", &val_Any_Any_Any_Any_to_Num, Any_Any_Any_Any_to_Num},
    {"Any_Any_Any_Any_Any", "Num", &val_Any_Any_Any_Any_Any_to_Num, Any_Any_Any_Any_Any_to_Num},
    {"Variable", "Num", &val_Variable_to_Num, Variable_to_Num},
    {"Str_Any", "Num", &val_Str_Any_to_Num, Str_Any_to_Num},
    {"Rng_Lam", "Num", &val_Rng_Lam_to_Num, Rng_Lam_to_Num},
    {"Num", "Mat", &val_Num_to_Mat, Num_to_Mat},
    {"Num_Num", "Mat", &val_Num_Num_to_Mat, Num_Num_to_Mat},
    {"Num_Num_Num", "Mat", &val_Num_Num_Num_to_Mat, Num_Num_Num_to_Mat},
    {"Num_Num_Num_Mat", "Mat", &val_Num_Num_Num_Mat_to_Mat, Num_Num_Num_Mat_to_Mat},
    {"Mat", "Mat", &val_Mat_to_Mat, Mat_to_Mat},
    {"Mat_Num", "Mat", &val_Mat_Num_to_Mat, Mat_Num_to_Mat},
    {"Mat_Mat", "Mat", &val_Mat_Mat_to_Mat, Mat_Mat_to_Mat},
    {"Mat_Mat_Num", "Mat", &val_Mat_Mat_Num_to_Mat, Mat_Mat_Num_to_Mat},
    {"Mat_Num_Num", "Mat", &val_Mat_Num_Num_to_Mat, Mat_Num_Num_to_Mat},
    {"Mat_Num_Num_Num_Lam_Num", "Mat", &val_Mat_Num_Num_Num_Lam_Num_to_Mat, Mat_Num_Num_Num_Lam_Num_to_Mat},
    {"Mat_Num_Num_Num_Lam_Num_Num", "Mat", &val_Mat_Num_Num_Num_Lam_Num_Num_to_Mat, Mat_Num_Num_Num_Lam_Num_Num_to_Mat},
    {"Mat_Num_Num_Num_Lam_Lam_Num", "Mat", &val_Mat_Num_Num_Num_Lam_Lam_Num_to_Mat, Mat_Num_Num_Num_Lam_Lam_Num_to_Mat},
    {"Mat_Num_Num_Num_Lam_Lam_Num_Num", "Mat", &val_Mat_Num_Num_Num_Lam_Lam_Num_Num_to_Mat, Mat_Num_Num_Num_Lam_Lam_Num_Num_to_Mat},
    {"Mat_Mat_Mat_Mat_Mat_Mat_Mat_Num", "Mat", &val_Mat_Mat_Mat_Mat_Mat_Mat_Mat_Num_to_Mat, Mat_Mat_Mat_Mat_Mat_Mat_Mat_Num_to_Mat},
    {"Mat_Mat_Lam", "Mat", &val_Mat_Mat_Lam_to_Mat, Mat_Mat_Lam_to_Mat},
    {"Mat_Num_Num_Lam_Lam_Lam", "Mat", &val_Mat_Num_Num_Lam_Lam_Lam_to_Mat, Mat_Num_Num_Lam_Lam_Lam_to_Mat},
    {"Mat_Mat_Num_Num_Num_Lam_Lam_Lam_Lam", "Mat", &val_Mat_Mat_Num_Num_Num_Lam_Lam_Lam_Lam_to_Mat, Mat_Mat_Num_Num_Num_Lam_Lam_Lam_Lam_to_Mat},
    {"Lam_Num_Num", "Mat", &val_Lam_Num_Num_to_Mat, Lam_Num_Num_to_Mat},
    {"Lam_Num_Num_Num", "Mat", &val_Lam_Num_Num_Num_to_Mat, Lam_Num_Num_Num_to_Mat},
    {"Lam_Num_Num_Num_Num", "Mat", &val_Lam_Num_Num_Num_Num_to_Mat, Lam_Num_Num_Num_Num_to_Mat},
    {"Lam_Num_Num_Num_Num_Num", "Mat", &val_Lam_Num_Num_Num_Num_Num_to_Mat, Lam_Num_Num_Num_Num_Num_to_Mat},
    {"Lam_Num_Num_Num_Num_Num_Num", "Mat", &val_Lam_Num_Num_Num_Num_Num_Num_to_Mat, Lam_Num_Num_Num_Num_Num_Num_to_Mat},
    {"Lam_Num_Num_Num_Num_Num_Num_Num_Num", "Mat", &val_Lam_Num_Num_Num_Num_Num_Num_Num_Num_to_Mat, Lam_Num_Num_Num_Num_Num_Num_Num_Num_to_Mat},
    {"Lam_Num_Num_Num_Num_Num_Mat_Num_Num", "Mat", &val_Lam_Num_Num_Num_Num_Num_Mat_Num_Num_to_Mat, Lam_Num_Num_Num_Num_Num_Mat_Num_Num_to_Mat},
    {"Lam_Num_Mat_Num", "Mat", &val_Lam_Num_Mat_Num_to_Mat, Lam_Num_Mat_Num_to_Mat},
    {"Lam_Num_Mat_Num_Num", "Mat", &val_Lam_Num_Mat_Num_Num_to_Mat, Lam_Num_Mat_Num_Num_to_Mat},
    {"Lam_Num_Mat_Num_Num_Num", "Mat", &val_Lam_Num_Mat_Num_Num_Num_to_Mat, Lam_Num_Mat_Num_Num_Num_to_Mat},
    {"Lam_Lam_Lam_Num_Num_Num_Mat_Num_Num_Num_Num", "Mat", &val_Lam_Lam_Lam_Num_Num_Num_Mat_Num_Num_Num_Num_to_Mat, Lam_Lam_Lam_Num_Num_Num_Mat_Num_Num_Num_Num_to_Mat},
    {"Any", "Mat", &val_Any_to_Mat, Any_to_Mat},
    {"Any_Any", "Mat", &val_Any_Any_to_Mat, Any_Any_to_Mat},
    {"Any_Any_Any", "Mat", &val_Any_Any_Any_to_Mat, Any_Any_Any_to_Mat},
    {"Any_Any_Any_Any", "Mat", &val_Any_Any_Any_Any_to_Mat, Any_Any_Any_Any_to_Mat},
    {"Any_Any_Any_Any_Any", "Mat", &val_Any_Any_Any_Any_Any_to_Mat, Any_Any_Any_Any_Any_to_Mat},
    {"Any_Any_Any_Any_Any_Any", "Mat", &val_Any_Any_Any_Any_Any_Any_to_Mat, Any_Any_Any_Any_Any_Any_to_Mat},
    {"Any_Any_Any_Any_Any_Any_Any", "Mat", &val_Any_Any_Any_Any_Any_Any_Any_to_Mat, Any_Any_Any_Any_Any_Any_Any_to_Mat},
    {"Any_Any_Any_Any_Any_Any_Any_Any", "Mat", &val_Any_Any_Any_Any_Any_Any_Any_Any_to_Mat, Any_Any_Any_Any_Any_Any_Any_Any_to_Mat},
    {"Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_Any", "Mat", &val_Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_to_Mat, Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_to_Mat},
    {"Variable", "Mat", &val_Variable_to_Mat, Variable_to_Mat},
    {"List", "Mat", &val_List_to_Mat, List_to_Mat},
    {"Str", "Mat", &val_Str_to_Mat, Str_to_Mat},
    {"Rng", "Mat", &val_Rng_to_Mat, Rng_to_Mat},
    {"Rng_Rng", "Mat", &val_Rng_Rng_to_Mat, Rng_Rng_to_Mat},
    {"Any", "Any", &val_Any_to_Any, Any_to_Any},
    {"Any_Any", "Any", &val_Any_Any_to_Any, Any_Any_to_Any},
    {"Any_Any_Any", "Any", &val_Any_Any_Any_to_Any, Any_Any_Any_to_Any},
    {"Any_Any_Any_Any", "Any", &val_Any_Any_Any_Any_to_Any, Any_Any_Any_Any_to_Any},
    {"Any_Any_Any_Any_Any", "Any", &val_Any_Any_Any_Any_Any_to_Any, Any_Any_Any_Any_Any_to_Any},
    {"Any_Any_Any_Any_Any_Any", "Any", &val_Any_Any_Any_Any_Any_Any_to_Any, Any_Any_Any_Any_Any_Any_to_Any},
    {"Any_Any_Any_Any_Any_Any_Any", "Any", &val_Any_Any_Any_Any_Any_Any_Any_to_Any, Any_Any_Any_Any_Any_Any_Any_to_Any},
    {"Any_Any_Any_Any_Any_Any_Any_Any", "Any", &val_Any_Any_Any_Any_Any_Any_Any_Any_to_Any, Any_Any_Any_Any_Any_Any_Any_Any_to_Any},
    {"Any_Any_Any_Any_Any_Any_Any_Any_Any", "Any", &val_Any_Any_Any_Any_Any_Any_Any_Any_Any_to_Any, Any_Any_Any_Any_Any_Any_Any_Any_Any_to_Any},
    {"Any_Any_Any_Any_Any_Any_Any_Any_Any_Any", "Any", &val_Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_to_Any, Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_to_Any},
    {"List_Num", "Any", &val_List_Num_to_Any, List_Num_to_Any},
    {"Num_Num_Lam", "Any", &val_Num_Num_Lam_to_Any, Num_Num_Lam_to_Any},
    {"GlobList", "Any", &val_GlobList_to_Any, GlobList_to_Any},
    {"GlobList_Any", "Any", &val_GlobList_Any_to_Any, GlobList_Any_to_Any},
    {"GlobList_Any_Any_Any", "Any", &val_GlobList_Any_Any_Any_to_Any, GlobList_Any_Any_Any_to_Any},
    {"GlobList_Any_Any_Component", "Any", &val_GlobList_Any_Any_Component_to_Any, GlobList_Any_Any_Component_to_Any},
    {"Any_Any_Component", "Any", &val_Any_Any_Component_to_Any, Any_Any_Component_to_Any},
    {"Variable", "Any", &val_Variable_to_Any, Variable_to_Any},
    {"Any", "Str", &val_Any_to_Str, Any_to_Str},
    {"Any_Any", "Str", &val_Any_Any_to_Str, Any_Any_to_Str},
    {"Any_Any_Any", "Str", &val_Any_Any_Any_to_Str, Any_Any_Any_to_Str},
    {"Str", "Str", &val_Str_to_Str, Str_to_Str},
    {"Variable", "Str", &val_Variable_to_Str, Variable_to_Str},
    {"Any_Any", "APair", &val_Any_Any_to_APair, Any_Any_to_APair},
    {"Any", "List", &val_Any_to_List, Any_to_List},
    {"Variable", "List", &val_Variable_to_List, Variable_to_List},
    {"Any", "Unit", &val_Any_to_Unit, Any_to_Unit},
    {"Any_Any_Any_Any_Any_Any_Any", "Unit", &val_Any_Any_Any_Any_Any_Any_Any_to_Unit, Any_Any_Any_Any_Any_Any_Any_to_Unit},
    {"Id", "Unit", &val_Id_to_Unit, Id_to_Unit},
    {"Unit", "Unit", &val_Unit_to_Unit, Unit_to_Unit},
    {"Unit_Unit", "Unit", &val_Unit_Unit_to_Unit, Unit_Unit_to_Unit},
    {"Unit_Num", "Unit", &val_Unit_Num_to_Unit, Unit_Num_to_Unit},
    {"Variable", "Unit", &val_Variable_to_Unit, Variable_to_Unit},
};

TEST(TypeCodes, EveryObjectHoldsItsCodeAndAZeroWord) {
  std::set<std::int32_t> codes;
  for (TypeObject const& t : kTypeObjects) {
    EXPECT_EQ(t.object->code, code_of(t.word)) << t.word;
    EXPECT_EQ(t.object->reserved, 0u) << t.word;
    codes.insert(t.object->code);
  }
  EXPECT_EQ(codes.size(), 10u);
  EXPECT_NE(ListType.code, MatType.code);
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
      auto object = std::find_if(std::begin(kTypeObjects), std::end(kTypeObjects),
                                 [&](TypeObject const& t) { return t.word == words[0]; });
      ASSERT_NE(object, std::end(kTypeObjects));
      EXPECT_EQ(row.list->types, object->object);
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

TEST_F(FunctionNodes, TakeTheirArityFromTheSignature) {
  Anyval* value = aString::mk(allocator, "body");
  for (SignatureRow const& row : kSignatures) {
    sEfiFuncInfo info{row.pointer, {"name", "params", nullptr, reinterpret_cast<void const*>(0x1234), nullptr, nullptr}};
    aFunction* node = aFunction::mk(allocator, info, value);
    std::string args = row.args;
    int expected = args == "Variable" ? 0 : static_cast<int>(std::count(args.begin(), args.end(), '_') + 1);
    EXPECT_EQ(node->arity, expected) << row.args << "_to_" << row.result;
    EXPECT_EQ(node->tag, ValueTag::Function);
    EXPECT_EQ(node->info.signature, row.pointer);
    EXPECT_EQ(std::memcmp(&node->info, &info, sizeof info), 0) << "the seven words are copied";
    EXPECT_EQ(node->value, value);
    host.release(node);
  }
  EXPECT_EQ(aFunction::mk(allocator, {Lam_Num_Num_Num_Num_Num_Mat_Num_Num_to_Mat, {}}, value)->arity, 9);
  EXPECT_EQ(host.calls(20), std::size(kSignatures) + 1);
}

TEST_F(FunctionNodes, AnOpenAritySignatureGivesArityZero) {
  sFunctionInfo open = val_Mat_Num_to_Mat;
  open.openArity = 1;
  aFunction* node = aFunction::mk(allocator, sEfiFuncInfo{&open, {}}, nullptr);
  EXPECT_EQ(node->arity, 0);
}

}  // namespace
