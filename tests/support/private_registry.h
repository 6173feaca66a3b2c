// The pack key and the GUID the tests register; and, where the file store stands in for the
// registry, a store of the test's own (it follows VELLUM_REGISTRY_ROOT), removed afterwards
// whatever permissions a test took away from its folders.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <vellum/packdesc/registration.h>

namespace vellum::test {

inline constexpr char kPacksKey[] = "Vellum\\Functions";
inline constexpr GUID kTestGuid{0x1234ABCD, 0xABCD, 0xEF01, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x1A, 0x1B}};
inline constexpr char kTestGuidText[] = "{1234ABCD-ABCD-ef01-0A0B-0C0D0E0F1A1B}";

#ifndef _WIN32
class PrivateRegistryStore {
 public:
  PrivateRegistryStore() {
    char pattern[] = "/tmp/vellum-registry-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("cannot make a folder for the registry store");
    root_ = pattern;
    setenv("VELLUM_REGISTRY_ROOT", store().c_str(), 1);
  }
  ~PrivateRegistryStore() {
    unsetenv("VELLUM_REGISTRY_ROOT");
    std::error_code ignored;
    for (auto const& entry : std::filesystem::recursive_directory_iterator(root_, ignored))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  PrivateRegistryStore(PrivateRegistryStore const&) = delete;
  PrivateRegistryStore& operator=(PrivateRegistryStore const&) = delete;

  // A folder for the test's own files beside the store.
  std::filesystem::path const& root() const noexcept { return root_; }
  std::filesystem::path store() const { return root_ / "store"; }
  std::filesystem::path key_folder() const { return store() / "HKEY_CLASSES_ROOT" / "Vellum" / "Functions"; }

 private:
  std::filesystem::path root_;
};
#endif

}  // namespace vellum::test
