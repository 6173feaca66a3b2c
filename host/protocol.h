// How the reference host finds a pack's functions and calls them. A pack includes this header,
// fills one table of entries and exports one C function returning it; see
// docs/host-protocol.md for who owns what.
#pragma once

#include <cstdint>

#include <vellum/packdesc/registration.h>
#include <vellum/values/allocator.h>
#include <vellum/values/anyval.h>
#include <vellum/values/function_info.h>

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

// The protocol entry, which every pack defines with VELLUM_PACK_FUNCTIONS: declared here too, so
// that a test that links a pack's sources into its own program can call it.
VELLUM_PACK_EXPORT VellumPackTable const* vellum_pack_functions();

// Defines the protocol entry of a pack from an array of entries:
//   VELLUM_PACK_FUNCTIONS(kEntries)
#define VELLUM_PACK_FUNCTIONS(entries)                                                  \
  VELLUM_PACK_EXPORT VellumPackTable const* vellum_pack_functions() {                  \
    static VellumPackTable const table{static_cast<std::int32_t>(sizeof(entries) / sizeof((entries)[0])), \
                                       (entries)};                                        \
    return &table;                                                                        \
  }

// A pack that registers itself, so that an install step can enrol it with the host:
//   constexpr GUID kPackGuid{0x1234abcd, 0xabcd, 0xef01, {0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x1a, 0x1b}};
//   VELLUM_PACK_REGISTRATION(kPackGuid)
// `vellum-host register PACK` loads the pack and calls vellum_pack_register with the handle of the
// loaded module, whose file the registry then names; `vellum-host unregister PACK` takes it back.
// Both return S_OK or E_FAIL, as RegisterEfiFunctionPack does.
#define VELLUM_PACK_REGISTER_SYMBOL "vellum_pack_register"
#define VELLUM_PACK_UNREGISTER_SYMBOL "vellum_pack_unregister"
using VellumPackRegisterFunction = std::int32_t (*)(void* module);
using VellumPackUnregisterFunction = std::int32_t (*)();

// On Windows a registering pack is also a self-registering DLL: `regsvr32 pack.dll` calls its
// DllRegisterServer, which registers the DLL's own module (its image base is its handle), and
// `regsvr32 /u pack.dll` its DllUnregisterServer. regsvr32 calls them as __stdcall functions
// without arguments, which pass and return exactly as C functions without arguments do; as C
// functions their exported names carry no decoration (a 32-bit __stdcall export would be
// "DllRegisterServer@0", which regsvr32 does not find). A pack that includes <olectl.h>, which
// declares them __stdcall, defines VELLUM_PACK_NO_DLL_REGISTRATION before this header.
#if defined(_WIN32) && !defined(VELLUM_PACK_NO_DLL_REGISTRATION)
extern "C" char __ImageBase;
#  define VELLUM_PACK_REGISTRATION(guid)                                                        \
    VELLUM_PACK_EXPORT std::int32_t vellum_pack_register(void* module) {                       \
      return RegisterEfiFunctionPack(module, &(guid));                                          \
    }                                                                                           \
    VELLUM_PACK_EXPORT std::int32_t vellum_pack_unregister() { return UnregisterEfiFunctionPack(&(guid)); } \
    VELLUM_PACK_EXPORT long DllRegisterServer() { return RegisterEfiFunctionPack(&__ImageBase, &(guid)); } \
    VELLUM_PACK_EXPORT long DllUnregisterServer() { return UnregisterEfiFunctionPack(&(guid)); }
#else
#  define VELLUM_PACK_REGISTRATION(guid)                                                        \
    VELLUM_PACK_EXPORT std::int32_t vellum_pack_register(void* module) {                       \
      return RegisterEfiFunctionPack(module, &(guid));                                          \
    }                                                                                           \
    VELLUM_PACK_EXPORT std::int32_t vellum_pack_unregister() { return UnregisterEfiFunctionPack(&(guid)); }
#endif
