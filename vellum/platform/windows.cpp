// The platform services through the Windows interface.
#if defined(_WIN32)

#include <windows.h>

#include <atomic>

#include <vellum/platform/module_file.h>
#include <vellum/platform/performance_counter.h>
#include <vellum/platform/registry.h>

namespace vellum::platform {

namespace {
std::atomic<CounterSource> g_counter_source{nullptr};
}  // namespace

std::int64_t counter_frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

std::int64_t counter_value() {
  if (CounterSource source = g_counter_source.load()) return source();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

void set_counter_source(CounterSource source) { g_counter_source.store(source); }

std::uint32_t module_file_name(void* module, char* buffer, std::uint32_t size) {
  return GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
}

bool create_key_for_write(char const* path, RegistryKey* key) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  char empty_class[] = "";
  LONG status = RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, empty_class, 0, KEY_WRITE, nullptr, &opened, &disposition);
  *key = opened;
  return status == ERROR_SUCCESS;
}

bool open_key_for_write(char const* path, RegistryKey* key) {
  HKEY opened = nullptr;
  LONG status = RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_WRITE, &opened);
  *key = opened;
  return status == ERROR_SUCCESS;
}

bool set_string_value(RegistryKey key, char const* name, char const* data, std::uint32_t bytes) {
  return RegSetValueExA(static_cast<HKEY>(key), name, 0, REG_SZ, reinterpret_cast<BYTE const*>(data), bytes) ==
         ERROR_SUCCESS;
}

bool delete_value(RegistryKey key, char const* name) {
  return RegDeleteValueA(static_cast<HKEY>(key), name) == ERROR_SUCCESS;
}

void close_key(RegistryKey key) { RegCloseKey(static_cast<HKEY>(key)); }

std::optional<std::vector<RegistryValue>> list_values(char const* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  std::vector<RegistryValue> values;
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD name_length = sizeof name;
    DWORD type = 0;
    DWORD bytes = 0;
    LONG status = RegEnumValueA(key, index, name, &name_length, nullptr, &type, nullptr, &bytes);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    std::vector<unsigned char> data(bytes);
    name_length = sizeof name;
    if (RegEnumValueA(key, index, name, &name_length, nullptr, &type, data.data(), &bytes) != ERROR_SUCCESS) continue;
    data.resize(bytes);
    values.push_back({std::string(name, name_length), static_cast<std::uint32_t>(type), std::move(data)});
  }
  RegCloseKey(key);
  return values;
}

}  // namespace vellum::platform

#endif
