// The exported type-code objects, type lists and signature records. A pack declares a function
// by putting a signature record's address (say the value of Mat_Num_to_Mat) into the first word
// of its sEfiFuncInfo. Every object holds its final value from the moment the library is loaded.
//
//   NumType                    the type-code object of one kind of value
//   MatNumNumType              the entry array of a list of two or more words
//   MatNumNumTypelist          the list (count, entries); VarTypelist is the empty list
//   pMatNumNumTypelist         a pointer to the list (none for VarTypelist)
//   val_Mat_Num_Num_to_Mat     the signature record: arguments Mat, Num, Num; result Mat
//   Mat_Num_Num_to_Mat         a pointer to the record
#pragma once

#include <vellum/packdesc/type_codes.h>
#include <vellum/packdesc/type_tables.h>
#include <vellum/values/function_info.h>

#define VELLUM_DECLARE_TYPE_OBJECT(word) VELLUM_API extern svlType const word##Type;
#define VELLUM_DECLARE_LIST(name)                     \
  VELLUM_API extern sTypelist const name##Typelist; \
  VELLUM_API extern sTypelist const* const p##name##Typelist;
#define VELLUM_DECLARE_LONG_LIST(name, ...)   \
  VELLUM_API extern svlType const name##Type[]; \
  VELLUM_DECLARE_LIST(name)
#define VELLUM_DECLARE_ONE_WORD_LIST(word) VELLUM_DECLARE_LIST(word)
#define VELLUM_DECLARE_SIGNATURE(result, args)                       \
  VELLUM_API extern sFunctionInfo const val_##args##_to_##result; \
  VELLUM_API extern sFunctionInfo const* const args##_to_##result;

VELLUM_TYPE_OBJECTS(VELLUM_DECLARE_TYPE_OBJECT)
VELLUM_TYPE_LISTS(VELLUM_DECLARE_ONE_WORD_LIST, VELLUM_DECLARE_LONG_LIST)
VELLUM_API extern sTypelist const VarTypelist;
VELLUM_SIGNATURES(VELLUM_DECLARE_SIGNATURE)

#undef VELLUM_DECLARE_TYPE_OBJECT
#undef VELLUM_DECLARE_LIST
#undef VELLUM_DECLARE_LONG_LIST
#undef VELLUM_DECLARE_ONE_WORD_LIST
#undef VELLUM_DECLARE_SIGNATURE

#undef VELLUM_TYPE_OBJECTS
#undef VELLUM_TYPE_LISTS
#undef VELLUM_SIGNATURES
