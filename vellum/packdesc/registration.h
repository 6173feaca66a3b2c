// Registration of a pack with the host: under HKEY_CLASSES_ROOT, key "Vellum\Functions", one
// string value per pack, named by the pack's GUID text and holding the full path of its module
// file. Both operations return S_OK or E_FAIL, nothing else, and are exported undecorated.
#pragma once

#include <vellum/library/api.h>

#if defined(_WIN32)
#  include <guiddef.h>
#  define VELLUM_STDAPI_CALL __stdcall
#else
// The layout of a Windows GUID.
struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
#  define VELLUM_STDAPI_CALL
#endif

inline constexpr std::int32_t kVellumOk = 0;
inline constexpr std::int32_t kVellumFail = static_cast<std::int32_t>(0x80004005u);

// The 32-bit DLL exports these two through its .def file, without the stdcall suffix.
#if defined(_WIN32) && !defined(_WIN64) && defined(VELLUM_BUILDING_LIBRARY)
#  define VELLUM_REGISTRATION_API
#else
#  define VELLUM_REGISTRATION_API VELLUM_API
#endif

extern "C" {
// Writes the module's full path under the GUID's text (replacing an earlier one). `module` is the
// pack's module handle (on Windows its HMODULE, elsewhere its handle from dlopen).
VELLUM_REGISTRATION_API std::int32_t VELLUM_STDAPI_CALL RegisterEfiFunctionPack(void* module, GUID const* guid);
// Deletes the GUID's value; the key stays, even when it becomes empty.
VELLUM_REGISTRATION_API std::int32_t VELLUM_STDAPI_CALL UnregisterEfiFunctionPack(GUID const* guid);
}

namespace vellum {
// "{1234ABCD-ABCD-ef01-0A0B-0C0D0E0F1A1B}": 38 characters, all upper case but the third group.
void format_guid(GUID const& guid, char (&text)[64]);
}  // namespace vellum
