// Every object is constant-initialised (constinit): its value, pointers included, is fixed when
// the library is loaded, before any initialiser runs.
#include <vellum/packdesc/signatures.h>

#include <string_view>

// The table again: the header above undefined it once it had declared what it generates.
#include <vellum/library/macro_helpers.h>
#include <vellum/packdesc/type_tables.h>

namespace {

#define VELLUM_ENTRY(unused, word) svlType{vellum::type_code::word, 0},
#define VELLUM_WORD(unused, word) #word

// The words of a stem, underscores left out ("Mat_Num" -> "MatNum"; "Variable" is "Var").
consteval bool same_words(std::string_view list, std::string_view stem) {
  if (stem == "Variable") stem = "Var";
  std::size_t k = 0;
  for (char c : stem) {
    if (c == '_') continue;
    if (k == list.size() || list[k++] != c) return false;
  }
  return k == list.size();
}

}  // namespace

#define VELLUM_DEFINE_TYPE_OBJECT(word) constinit svlType const word##Type = {vellum::type_code::word, 0};
VELLUM_TYPE_OBJECTS(VELLUM_DEFINE_TYPE_OBJECT)

// A one-word list's entries are its type-code object; longer lists have their own entry array.
#define VELLUM_DEFINE_ONE_WORD_LIST(word)                               \
  constinit sTypelist const word##Typelist = {1, &word##Type};          \
  constinit sTypelist const* const p##word##Typelist = &word##Typelist;
#define VELLUM_DEFINE_LONG_LIST(name, ...)                                                              \
  static_assert(std::string_view(#name) == VELLUM_FOR_EACH(VELLUM_WORD, ~, __VA_ARGS__), "list " #name);  \
  constinit svlType const name##Type[] = {VELLUM_FOR_EACH(VELLUM_ENTRY, ~, __VA_ARGS__)};                  \
  constinit sTypelist const name##Typelist = {VELLUM_COUNT(__VA_ARGS__), name##Type};                 \
  constinit sTypelist const* const p##name##Typelist = &name##Typelist;
VELLUM_TYPE_LISTS(VELLUM_DEFINE_ONE_WORD_LIST, VELLUM_DEFINE_LONG_LIST)
constinit sTypelist const VarTypelist = {0, nullptr};

namespace {
struct NamedList {
  std::string_view words;
  sTypelist const* list;
};
#define VELLUM_NAMED_ONE_WORD_LIST(word) NamedList{#word, &word##Typelist},
#define VELLUM_NAMED_LONG_LIST(name, ...) NamedList{#name, &name##Typelist},
constexpr NamedList kLists[] = {VELLUM_TYPE_LISTS(VELLUM_NAMED_ONE_WORD_LIST, VELLUM_NAMED_LONG_LIST){"Var",
                                                                                                      &VarTypelist}};

// The list whose words are the stem's; a stem without a list does not compile.
consteval sTypelist const* list_of(std::string_view stem) {
  for (NamedList const& named : kLists)
    if (same_words(named.words, stem)) return named.list;
  throw "no type list has the words of this stem";
}
}  // namespace

#define VELLUM_DEFINE_SIGNATURE(result, args)                                                          \
  constinit sFunctionInfo const val_##args##_to_##result = {0, list_of(#args), {vellum::type_code::result, 0}, 0}; \
  constinit sFunctionInfo const* const args##_to_##result = &val_##args##_to_##result;
VELLUM_SIGNATURES(VELLUM_DEFINE_SIGNATURE)
