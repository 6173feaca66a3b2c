// Function nodes (tag 4): a pack's function description and a value, with the arity its
// signature gives.
#pragma once

#include <vellum/values/allocator.h>
#include <vellum/values/function_info.h>

struct aFunction : Anyval {
  std::int32_t arity;
  sEfiFuncInfo info;
  Anyval* value;
  // The arity is the count of the signature's argument list, or 0 when its openArity is set.
  VELLUM_API static aFunction* mk(IvlAllocator* allocator, sEfiFuncInfo const& info, Anyval* value);
};
VELLUM_LAYOUT(aFunction, arity, 4);
VELLUM_LAYOUT(aFunction, info, 8);
VELLUM_LAYOUT(aFunction, value, 36);
VELLUM_LAYOUT_SIZE(aFunction, 40);
