// The system registry, as far as pack registration uses it: keys under HKEY_CLASSES_ROOT opened
// for writing, string values set and deleted. On Windows these are the registry functions; on
// other systems a store of files stands in for them (posix.cpp): a key is a folder
// below the store's root and a value is a file written whole and renamed into place, so that a
// reader never sees a value half written and concurrent writers end with the last write.
//
// The store's root: $VELLUM_REGISTRY_ROOT, else $XDG_CONFIG_HOME/vellum/registry, else
// ~/.config/vellum/registry. Key paths use backslashes ("Vellum\\Functions").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellum::platform {

using RegistryKey = void*;

inline constexpr std::uint32_t kRegistryString = 1;  // REG_SZ
inline constexpr std::uint32_t kKeyWrite = 0x20006;   // KEY_WRITE

// Creates the key below HKEY_CLASSES_ROOT, or opens it when it exists, for writing.
bool create_key_for_write(char const* path, RegistryKey* key);
// Opens an existing key below HKEY_CLASSES_ROOT for writing; never creates one.
bool open_key_for_write(char const* path, RegistryKey* key);
// Sets a REG_SZ value; `bytes` counts the terminating zero.
bool set_string_value(RegistryKey key, char const* name, char const* data, std::uint32_t bytes);
bool delete_value(RegistryKey key, char const* name);
void close_key(RegistryKey key);

struct RegistryValue {
  std::string name;
  std::uint32_t type;
  std::vector<unsigned char> data;
};
// Every readable value of a key below HKEY_CLASSES_ROOT; nothing when the key cannot be read.
// Values that are not well formed are passed over.
std::optional<std::vector<RegistryValue>> list_values(char const* path);

}  // namespace vellum::platform
