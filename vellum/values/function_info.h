// The records through which a pack declares its functions to the host: type codes, type lists,
// signature records, and the pack's own function-description record.
#pragma once

#include <vellum/library/api.h>

// A type code: the value tag of the kind of value it stands for (1: any value).
struct svlType {
  std::int32_t code;
  std::uint32_t reserved;  // 0 in every object of the library
};
VELLUM_LAYOUT(svlType, reserved, 4);
VELLUM_LAYOUT_SIZE(svlType, 8);

// `count` consecutive type codes, in argument order.
struct sTypelist {
  std::int32_t count;
  svlType const* types;
};
VELLUM_LAYOUT(sTypelist, types, 4);
VELLUM_LAYOUT_SIZE(sTypelist, 8);

// A signature: the argument list and the result type.
struct sFunctionInfo {
  std::uint32_t reserved;  // 0 in every record
  sTypelist const* args;
  svlType result;
  std::uint32_t openArity;  // 0 in every record; when not, a function node records arity 0
};
VELLUM_LAYOUT(sFunctionInfo, args, 4);
VELLUM_LAYOUT(sFunctionInfo, result, 8);
VELLUM_LAYOUT(sFunctionInfo, openArity, 16);
VELLUM_LAYOUT_SIZE(sFunctionInfo, 20);

// A pack's description of one function: seven words, the first of them its signature. The
// library gives the other six no meaning; they are word-sized so that they hold a pointer.
struct sEfiFuncInfo {
  sFunctionInfo const* signature;
  void const* words[6];
};
VELLUM_LAYOUT(sEfiFuncInfo, words, 4);
VELLUM_LAYOUT_SIZE(sEfiFuncInfo, 28);
