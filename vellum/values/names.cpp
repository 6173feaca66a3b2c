// Every record here is a constant in read-only storage, complete (sizes and links included) from
// the moment the library is loaded.
#include <vellum/values/names.h>

// The table again: the header above undefined it once it had declared what it generates.
#include <vellum/values/names_table.h>

namespace {
template <std::size_t N>
constexpr aString string_record(char const (&text)[N]) {
  return aString{{ValueTag::String}, text, static_cast<std::uint32_t>(N)};
}

constexpr aIdentifier unbound_identifier(aString const& name) {
  return aIdentifier{{ValueTag::Identifier}, 0, const_cast<aString*>(&name), aIdentifier::kUnbound, {nullptr},
                     nullptr, nullptr};
}

#define VELLUM_NAME_RECORDS(stem, text)                              \
  constexpr char stem##_text[] = text;                               \
  constexpr aString stem##_string = string_record(stem##_text);      \
  constexpr aIdentifier stem##_identifier = unbound_identifier(stem##_string);
VELLUM_BUILTIN_NAMES(VELLUM_NAME_RECORDS)

constexpr aComplex complex_constant(double real) { return aComplex{{ValueTag::Complex}, 0, real, 0.0}; }
constexpr aComplex kZero = complex_constant(0.0);
constexpr aComplex kOne = complex_constant(1.0);
constexpr aComplex kTwo = complex_constant(2.0);
constexpr aComplex kThree = complex_constant(3.0);
constexpr aUnit kDimensionless{{ValueTag::Unit}, nullptr, {}};
}  // namespace

extern "C" {
#define VELLUM_DEFINE_BUILTIN_NAME(stem, text)                                              \
  constinit char const* const stem##_STRING = stem##_text;                                 \
  constinit aString* const stem##_sString = const_cast<aString*>(&stem##_string);          \
  constinit aIdentifier* const stem##_sUnIdent = const_cast<aIdentifier*>(&stem##_identifier);
VELLUM_BUILTIN_NAMES(VELLUM_DEFINE_BUILTIN_NAME)
}

constinit aComplex* const sComplexZero = const_cast<aComplex*>(&kZero);
constinit aComplex* const sComplexOne = const_cast<aComplex*>(&kOne);
constinit aComplex* const sComplexTwo = const_cast<aComplex*>(&kTwo);
constinit aComplex* const sComplexThree = const_cast<aComplex*>(&kThree);
constinit aUnit* const sUnitZero = const_cast<aUnit*>(&kDimensionless);
