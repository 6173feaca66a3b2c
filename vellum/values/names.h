// The host's built-in names as ready-made read-only records, and the value constants. For every
// row (stem, text) the library exports, under undecorated names:
//   stem_STRING    the text
//   stem_sString   a string record of the text
//   stem_sUnIdent  an unbound identifier whose name is that very string record
// so plus_STRING is "-plus". The host may reference these records and must never free them.
#pragma once

#include <vellum/values/complex.h>
#include <vellum/values/identifier.h>
#include <vellum/values/names_table.h>
#include <vellum/values/string.h>
#include <vellum/values/unit.h>


extern "C" {
#define VELLUM_DECLARE_BUILTIN_NAME(stem, text)          \
  VELLUM_API extern char const* const stem##_STRING;     \
  VELLUM_API extern aString* const stem##_sString;       \
  VELLUM_API extern aIdentifier* const stem##_sUnIdent;
VELLUM_BUILTIN_NAMES(VELLUM_DECLARE_BUILTIN_NAME)
#undef VELLUM_DECLARE_BUILTIN_NAME
}

// The complex numbers 0, 1, 2 and 3 and the dimensionless unit (no expression, all powers 0).
VELLUM_API extern aComplex* const sComplexZero;
VELLUM_API extern aComplex* const sComplexOne;
VELLUM_API extern aComplex* const sComplexTwo;
VELLUM_API extern aComplex* const sComplexThree;
VELLUM_API extern aUnit* const sUnitZero;

#undef VELLUM_BUILTIN_NAMES
