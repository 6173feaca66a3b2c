// The pack key and the GUID the tests register, the key's values as strings; and, where the file
// store stands in for the registry, a store of the test's own (it follows VELLUM_REGISTRY_ROOT).
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include <vellum/packdesc/registration.h>
#include <vellum/platform/registry.h>

namespace vellum::test {

inline constexpr char kPacksKey[] = "Vellum\\Functions";
inline constexpr GUID kTestGuid{0x1234ABCD, 0xABCD, 0xEF01, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x1A, 0x1B}};
inline constexpr char kTestGuidText[] = "{1234ABCD-ABCD-ef01-0A0B-0C0D0E0F1A1B}";

// The pack key's values by name; each must be a string whose first zero byte ends it.
inline std::map<std::string, std::string> stored_packs() {
  std::map<std::string, std::string> values;
  for (auto const& v : platform::list_values(kPacksKey).value_or(std::vector<platform::RegistryValue>{})) {
    std::string text(v.data.begin(), v.data.end());
    EXPECT_EQ(std::pair(v.type, text.find('\0') + 1), std::pair(platform::kRegistryString, text.size())) << v.name;
    values[v.name] = text.substr(0, text.find('\0'));
  }
  return values;
}

#ifndef _WIN32
class PrivateRegistryStore {
 public:
  PrivateRegistryStore() {
    char pattern[] = "/tmp/vellum-registry-XXXXXX";
    if (!mkdtemp(pattern)) throw std::system_error(errno, std::generic_category(), "a folder for the store");
    setenv("VELLUM_REGISTRY_ROOT", (root_ = pattern).append("store").c_str(), 1);
  }
  ~PrivateRegistryStore() {
    std::error_code ignored;
    unsetenv("VELLUM_REGISTRY_ROOT");
    std::filesystem::remove_all(root_.parent_path(), ignored);
  }
  PrivateRegistryStore(PrivateRegistryStore const&) = delete;

  std::filesystem::path root() const { return root_.parent_path(); }  // the store's, and the test's own files
  std::filesystem::path key_folder() const { return root_ / "HKEY_CLASSES_ROOT" / "Vellum" / "Functions"; }

 private:
  std::filesystem::path root_;  // of the store
};
#endif

}  // namespace vellum::test
