// How the reference host finds a pack's functions and calls them. A pack includes this header,
// fills one table of entries and exports one C function returning it; see
// docs/host-protocol.md for who owns what.
#pragma once

#include <cstdint>

#include <vellum/packdesc/types.h>
#include <vellum/values/allocator.h>
#include <vellum/values/anyval.h>

// A pack function: the call context, the place for the result, and the arguments in the order
// of the signature's argument list. It stores a value or an error record into *result, or
// throws a char* text ("2.must be string"), which the host turns into an error record.
using VellumPackFunction = void (*)(EfiCallContext* context, Anyval** result, Anyval* const* args);

struct VellumPackEntry {
  char const* name;         // what the user calls it: "sqrt"
  char const* params;       // the parameter names as the user reads them: "M"
  sEfiFuncInfo info;        // info.signature: the argument type codes and the result type
  VellumPackFunction function;
};

struct VellumPackTable {
  std::int32_t count;
  VellumPackEntry const* entries;
};

// The one symbol the host looks up in a pack.
#define VELLUM_PACK_ENTRY_SYMBOL "vellum_pack_functions"
using VellumPackEntryFunction = VellumPackTable const* (*)();

#if defined(_WIN32)
#  define VELLUM_PACK_EXPORT extern "C" __declspec(dllexport)
#else
#  define VELLUM_PACK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Defines the protocol entry of a pack from an array of entries:
//   VELLUM_PACK_FUNCTIONS(kEntries)
#define VELLUM_PACK_FUNCTIONS(entries)                                                  \
  VELLUM_PACK_EXPORT VellumPackTable const* vellum_pack_functions() {                  \
    static VellumPackTable const table{static_cast<std::int32_t>(sizeof(entries) / sizeof((entries)[0])), \
                                       (entries)};                                        \
    return &table;                                                                        \
  }
