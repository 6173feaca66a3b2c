// The error record (tag 0), its constructors, and the three static error records.
#pragma once

#include <vellum/values/allocator.h>
#include <vellum/values/string.h>

struct aError : Anyval {
  std::int32_t code;      // the first integer of aError::mk; 0 from the library's own constructors
  std::int32_t position;  // the argument at fault, counted from 1; 0 when none is named
  aString* message;
  Anyval* value;          // accompanies the error; null from the library's own constructors

  VELLUM_API static aError* mk(IvlAllocator* allocator, aString const* message, int code, int position,
                               Anyval* value);
};
VELLUM_LAYOUT(aError, code, 4);
VELLUM_LAYOUT(aError, position, 8);
VELLUM_LAYOUT(aError, message, 12);
VELLUM_LAYOUT(aError, value, 16);
VELLUM_LAYOUT_SIZE(aError, 20);

// With a zero position, a leading "N." of the text becomes the position and is cut from the
// message ("2.must be string" -> "must be string" at 2); otherwise the text is kept whole.
VELLUM_API Anyval* mkError(EfiCallContext* context, char const* text, int position);
// The message as it is, no prefix handling.
VELLUM_API Anyval* mkError(EfiCallContext* context, aString const* message, int position);
// A string of the whole text, no prefix handling.
VELLUM_API Anyval* mkError(IvlAllocator* allocator, char const* text, int position);

// An error with the text, or "illegal context" when the value is a lambda, a range or a
// function. The value (which must not be null) is not stored.
VELLUM_API aError* patch_error(EfiCallContext* context, char const* text, Anyval const* value, int position);

// Packs `count` two-bit codes into one integer, code k at bits 2k and 2k + 1; 0 when count < 1.
VELLUM_API int ErrorNode(int count, ...);

// Read-only records of the library: the host may return and reference them, never free them.
VELLUM_API extern aError* const sError_OutOfMemory;
VELLUM_API extern aError* const sError_Invalid;
VELLUM_API extern aError* const sError_Interrupted;
