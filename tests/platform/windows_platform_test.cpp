// The Windows platform layer against the real system: the registry, GetModuleFileNameA and the
// performance counter.
#include <windows.h>

#include <string>

#include "tests/support/private_registry.h"
#include "tests/support/test_support.h"
#include "vellum/platform/module_file.h"
#include "vellum/platform/performance_counter.h"
#include "vellum/platform/registry.h"

namespace {

constexpr auto& kKey = vellum::test::kPacksKey;
constexpr auto& kGuid = vellum::test::kTestGuid;
constexpr auto& kGuidText = vellum::test::kTestGuidText;

std::map<std::string, std::string> stored() {
  std::map<std::string, std::string> values;
  if (auto listed = vellum::platform::list_values(kKey))
    for (auto const& value : *listed) {
      EXPECT_EQ(value.type, static_cast<std::uint32_t>(REG_SZ));
      EXPECT_FALSE(value.data.empty());
      EXPECT_EQ(value.data.back(), 0);
      values[value.name] = std::string(value.data.begin(), value.data.end() - 1);
    }
  return values;
}

std::string module_path(HMODULE module) {
  char buffer[MAX_PATH * 4];
  DWORD length = GetModuleFileNameA(module, buffer, sizeof buffer);
  return std::string(buffer, length);
}

class WindowsRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA(VELLUM_TINY_MODULE);
    ASSERT_NE(module_, nullptr);
    // Start from a missing key.
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kKey);
  }
  void TearDown() override {
    FreeLibrary(module_);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kKey);
  }
  HMODULE module_ = nullptr;
};

TEST_F(WindowsRegistration, WritesReplacesAndDeletesTheValueInTheRealRegistry) {
  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumFail) << "no key yet";
  EXPECT_FALSE(vellum::platform::list_values(kKey).has_value()) << "and none made";

  HMODULE self = GetModuleHandleA(nullptr);
  ASSERT_EQ(RegisterEfiFunctionPack(self, &kGuid), kVellumOk);
  EXPECT_EQ(stored()[kGuidText], module_path(self));
  ASSERT_EQ(RegisterEfiFunctionPack(module_, &kGuid), kVellumOk);
  auto values = stored();
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[kGuidText], module_path(module_)) << "the second registration wins";

  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumOk);
  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumFail);
  ASSERT_TRUE(vellum::platform::list_values(kKey).has_value()) << "the key stays";
  EXPECT_TRUE(stored().empty());
  ASSERT_EQ(RegisterEfiFunctionPack(nullptr, &kGuid), kVellumOk) << "a null module is the program itself";
  EXPECT_EQ(stored()[kGuidText], module_path(self));
}

TEST(WindowsModuleFileName, CutsToTheBufferAndSaysSo) {
  HMODULE self = GetModuleHandleA(nullptr);
  char buffer[1024];
  std::uint32_t length = vellum::platform::module_file_name(self, buffer, sizeof buffer);
  ASSERT_GT(length, 3u);
  EXPECT_EQ(std::string(buffer, length), module_path(self));
  char small[4];
  EXPECT_EQ(vellum::platform::module_file_name(self, small, sizeof small), sizeof small);
}

TEST(WindowsPerformanceCounter, RunsAtLeastAtMillisecondResolution) {
  EXPECT_GE(vellum::platform::counter_frequency(), 1000);
  std::int64_t before = vellum::platform::counter_value();
  Sleep(5);
  EXPECT_GT(vellum::platform::counter_value(), before);
}

}  // namespace
