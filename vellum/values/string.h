// The string record (tag 3) and the symbolic expression text (tag 21), which shares its layout.
#pragma once

#include <vellum/values/allocator.h>

struct aString : Anyval {
  // Filled by the host from the text it is given. Readers in the library use only the
  // NUL-terminated text and compute lengths themselves.
  char const* text;
  std::uint32_t size;  // bytes of the text including the terminating NUL

  // AllocString with the text, then tag 3.
  VELLUM_API static aString* mk(IvlAllocator* allocator, char const* text);
};
VELLUM_LAYOUT(aString, text, 4);
VELLUM_LAYOUT(aString, size, 8);
VELLUM_LAYOUT_SIZE(aString, 12);

struct aSymbolicExpression : aString {
  // The same allocator operation as aString::mk; only the tag differs (21).
  VELLUM_API static aSymbolicExpression* mk(IvlAllocator* allocator, char const* text);
};
VELLUM_LAYOUT_SIZE(aSymbolicExpression, 12);
