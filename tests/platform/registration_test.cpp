// Registration of packs in the registry store, with a private store per test.
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "tests/support/private_registry.h"
#include "tests/support/test_support.h"
#include "vellum/platform/module_file.h"
#include "vellum/platform/registry.h"

namespace {

namespace fs = std::filesystem;
using vellum::platform::list_values;

constexpr auto& kKey = vellum::test::kPacksKey;
constexpr auto& kGuid = vellum::test::kTestGuid;
constexpr auto& kGuidText = vellum::test::kTestGuidText;

class Registration : public ::testing::Test {
 protected:
  void TearDown() override {
    for (void* handle : handles_) dlclose(handle);
  }

  // A copy of the tiny module at a path of exactly `length` characters, loaded.
  void* module_at_length(std::size_t length, std::string* path_out = nullptr) {
    std::string path = (root_ / "m").string();
    fs::create_directories(path);
    // Deepen the folder chain until one more level of 100 would overshoot, then name the file
    // to make up the rest.
    while (path.size() + 1 + 100 + 1 + 10 < length) {
      path += "/" + std::string(99, 'd') + "x";
      fs::create_directories(path);
    }
    std::size_t rest = length - path.size() - 1;
    EXPECT_GE(rest, 4u);
    std::string file = path + "/" + std::string(rest - 3, 'f') + ".so";
    EXPECT_EQ(file.size(), length);
    fs::copy_file(VELLUM_TINY_MODULE, file, fs::copy_options::overwrite_existing);
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle, nullptr) << dlerror();
    handles_.push_back(handle);
    if (path_out) *path_out = file;
    return handle;
  }

  // The stored values by name.
  std::map<std::string, std::string> stored() {
    std::map<std::string, std::string> values;
    auto listed = list_values(kKey);
    if (!listed) return values;
    for (auto const& value : *listed) {
      EXPECT_EQ(value.type, 1u) << "REG_SZ";
      EXPECT_FALSE(value.data.empty());
      EXPECT_EQ(value.data.back(), 0) << "the data ends with its zero byte";
      values[value.name] = std::string(value.data.begin(), value.data.end() - 1);
      EXPECT_EQ(values[value.name].size() + 1, value.data.size()) << "no zero before the end";
    }
    return values;
  }

  vellum::test::PrivateRegistryStore registry_;
  fs::path root_ = registry_.root();
  std::vector<void*> handles_;
};

TEST_F(Registration, StoresTheWholeModulePathUnderTheGuidText) {
  // 519 characters fit the first buffer; 520 and more go through the growing one.
  for (std::size_t length : {40u, 519u, 520u, 1039u, 1040u, 2500u}) {
    SCOPED_TRACE(length);
    std::string path;
    void* module = module_at_length(length, &path);
    ASSERT_EQ(RegisterEfiFunctionPack(module, &kGuid), kVellumOk);
    auto values = stored();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values.begin()->first, kGuidText);
    EXPECT_EQ(values.begin()->second, path) << "stored whole";
  }
}

TEST_F(Registration, ReplacesAndRemovesOnlyItsOwnValue) {
  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumFail);
  EXPECT_FALSE(list_values(kKey).has_value()) << "unregistering creates no key";
  std::string first, second;
  void* a = module_at_length(60, &first);
  void* b = module_at_length(70, &second);
  GUID other = kGuid;
  other.Data4[7] = 0xFF;
  ASSERT_EQ(RegisterEfiFunctionPack(a, &kGuid), kVellumOk);
  ASSERT_EQ(RegisterEfiFunctionPack(a, &other), kVellumOk);
  ASSERT_EQ(RegisterEfiFunctionPack(b, &kGuid), kVellumOk);
  auto values = stored();
  EXPECT_EQ(values[kGuidText], second) << "the second registration wins";
  EXPECT_EQ(values["{1234ABCD-ABCD-ef01-0A0B-0C0D0E0F1AFF}"], first);

  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumOk);
  values = stored();
  EXPECT_EQ(values.count(kGuidText), 0u);
  EXPECT_EQ(values.size(), 1u);
  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumFail) << "not registered any more";
  EXPECT_EQ(UnregisterEfiFunctionPack(&other), kVellumOk);
  ASSERT_TRUE(list_values(kKey).has_value()) << "the key stays, empty";
  EXPECT_TRUE(list_values(kKey)->empty());
}

TEST_F(Registration, EveryAllocationFailureGivesEFailAndLeavesNothingBehind) {
  std::string path;
  void* module = module_at_length(1500, &path);
  std::int64_t before = vellum::faults::live_blocks();
  std::size_t failing = 1;
  for (;; ++failing) {
    std::int32_t status;
    {
      vellum::faults::ScopedFailure failure(failing, vellum::faults::Mode::Persistent);
      status = RegisterEfiFunctionPack(module, &kGuid);
    }
    EXPECT_EQ(vellum::faults::live_blocks(), before) << "failing from allocation " << failing;
    if (status == kVellumOk) break;
    EXPECT_EQ(status, kVellumFail);
    EXPECT_TRUE(stored().empty()) << "failing from allocation " << failing;
  }
  EXPECT_GT(failing, 2u) << "the growing buffer was allocated and failed on the way";
  EXPECT_EQ(stored()[kGuidText], path);
}

TEST_F(Registration, ConcurrentWritersLeaveAConsistentStore) {
  constexpr int kWriters = 8;
  constexpr int kRounds = 100;
  std::vector<std::string> paths(kWriters);
  std::vector<void*> modules(kWriters);
  for (int w = 0; w < kWriters; ++w) modules[w] = module_at_length(40 + w, &paths[w]);
  GUID shared = kGuid;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      GUID own = kGuid;
      own.Data1 = static_cast<std::uint32_t>(w);
      bool ok = true;
      for (int round = 0; round < kRounds; ++round) {
        ok &= RegisterEfiFunctionPack(modules[w], &shared) == kVellumOk;
        ok &= RegisterEfiFunctionPack(modules[w], &own) == kVellumOk;
        if (round + 1 < kRounds) ok &= UnregisterEfiFunctionPack(&own) == kVellumOk;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto values = stored();
  ASSERT_EQ(values.size(), kWriters + 1u);
  std::set<std::string> written(paths.begin(), paths.end());
  EXPECT_EQ(written.count(values[kGuidText]), 1u) << "the shared value is one writer's whole path";
  for (int w = 0; w < kWriters; ++w) {
    GUID own = kGuid;
    own.Data1 = static_cast<std::uint32_t>(w);
    char text[64];
    vellum::format_guid(own, text);
    EXPECT_EQ(values[text], paths[w]);
  }
  for (auto const& entry : fs::directory_iterator(root_ / "store" / "HKEY_CLASSES_ROOT" / "Vellum" / "Functions"))
    EXPECT_NE(entry.path().filename().string()[0], '.') << "no temporary is left";
}

TEST(GuidText, IsUpperCaseButTheThirdGroup) {
  char text[64];
  vellum::format_guid(kGuid, text);
  EXPECT_STREQ(text, kGuidText);
  GUID zero{};
  vellum::format_guid(zero, text);
  EXPECT_STREQ(text, "{00000000-0000-0000-0000-000000000000}");
  GUID full{0xFFFFFFFF, 0xFFFF, 0xFFFF, {255, 255, 255, 255, 255, 255, 255, 255}};
  vellum::format_guid(full, text);
  EXPECT_STREQ(text, "{FFFFFFFF-FFFF-ffff-FFFF-FFFFFFFFFFFF}");
  EXPECT_EQ(std::strlen(text), 38u);
}

TEST(ModuleFileName, FollowsTheContractOfTheSystemFunction) {
  void* self = dlopen(nullptr, RTLD_NOW);
  char buffer[4096];
  std::uint32_t length = vellum::platform::module_file_name(self, buffer, sizeof buffer);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::strlen(buffer), length);
  EXPECT_EQ(buffer[0], '/');
  char small[8];
  EXPECT_EQ(vellum::platform::module_file_name(self, small, sizeof small), sizeof small) << "cut: the size";
  EXPECT_EQ(std::strlen(small), sizeof small - 1);
  EXPECT_EQ(std::string(small), std::string(buffer, sizeof small - 1));
  char program[4096];
  EXPECT_EQ(vellum::platform::module_file_name(nullptr, program, sizeof program), length) << "null: the program";
  EXPECT_STREQ(program, buffer);
  EXPECT_EQ(vellum::platform::module_file_name(self, nullptr, 16), 0u);
  dlclose(self);
}

}  // namespace
