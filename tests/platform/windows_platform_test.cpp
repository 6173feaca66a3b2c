// The Windows platform layer against the real system's registry.
#include <windows.h>

#include "tests/support/private_registry.h"

namespace {

using namespace vellum::test;

TEST(WindowsRegistration, WritesReplacesAndDeletesTheValueInTheRealRegistry) {
  RegDeleteKeyA(HKEY_CLASSES_ROOT, kPacksKey);
  HMODULE module = LoadLibraryA(VELLUM_TINY_MODULE);
  EXPECT_EQ(UnregisterEfiFunctionPack(&kTestGuid), kVellumFail) << "no key yet";
  EXPECT_FALSE(vellum::platform::list_values(kPacksKey)) << "and none made";
  for (HMODULE registered : {HMODULE{}, module}) {  // a null module is the program
    char path[MAX_PATH * 4];
    std::string const expected(path, GetModuleFileNameA(registered, path, sizeof path));
    ASSERT_EQ(RegisterEfiFunctionPack(registered, &kTestGuid), kVellumOk);
    EXPECT_EQ(stored_packs(), (std::map<std::string, std::string>{{kTestGuidText, expected}}));
  }
  EXPECT_EQ(UnregisterEfiFunctionPack(&kTestGuid), kVellumOk);
  EXPECT_EQ(UnregisterEfiFunctionPack(&kTestGuid), kVellumFail);
  auto const listed = vellum::platform::list_values(kPacksKey);
  EXPECT_TRUE(listed && listed->empty()) << "the key stays, empty";
  FreeLibrary(module);
  RegDeleteKeyA(HKEY_CLASSES_ROOT, kPacksKey);
}

}  // namespace
