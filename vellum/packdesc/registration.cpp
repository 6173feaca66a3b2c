#include <vellum/packdesc/registration.h>

#include <cstdio>
#include <memory>
#include <new>

#include <vellum/platform/module_file.h>
#include <vellum/platform/registry.h>

namespace {
constexpr char kFunctionsKey[] = "Vellum\\Functions";
constexpr std::uint32_t kFirstBufferSize = 520;

struct KeyCloser {
  void operator()(void* key) const { vellum::platform::close_key(key); }
};

std::int32_t write_value(GUID const& guid, char const* path, std::uint32_t length) {
  char name[64];
  vellum::format_guid(guid, name);
  vellum::platform::RegistryKey key = nullptr;
  if (!vellum::platform::create_key_for_write(kFunctionsKey, &key)) return kVellumFail;
  std::unique_ptr<void, KeyCloser> closer(key);
  bool set = vellum::platform::set_string_value(key, name, path, length + 1);
  return set ? kVellumOk : kVellumFail;
}
}  // namespace

void vellum::format_guid(GUID const& guid, char (&text)[64]) {
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}

std::int32_t VELLUM_STDAPI_CALL RegisterEfiFunctionPack(void* module, GUID const* guid) {
  char first[kFirstBufferSize];
  std::uint32_t length = vellum::platform::module_file_name(module, first, kFirstBufferSize);
  if (length == 0) return kVellumFail;
  if (length < kFirstBufferSize) return write_value(*guid, first, length);

  // The name may have been cut: ask again with twice the room until it fits.
  std::unique_ptr<char[]> grown;
  for (std::uint32_t size = kFirstBufferSize; length >= size;) {
    size *= 2;
    grown.reset(new (std::nothrow) char[size]);
    if (!grown) return kVellumFail;
    length = vellum::platform::module_file_name(module, grown.get(), size);
    if (length == 0) return kVellumFail;
  }
  return write_value(*guid, grown.get(), length);
}

std::int32_t VELLUM_STDAPI_CALL UnregisterEfiFunctionPack(GUID const* guid) {
  char name[64];
  vellum::format_guid(*guid, name);
  vellum::platform::RegistryKey key = nullptr;
  if (!vellum::platform::open_key_for_write(kFunctionsKey, &key)) return kVellumFail;
  std::unique_ptr<void, KeyCloser> closer(key);
  return vellum::platform::delete_value(key, name) ? kVellumOk : kVellumFail;
}
