// Pack registration in a store of the test's own, module file names, the counter (no Windows interface).
#include <dlfcn.h>

#include <ctime>

#include "tests/support/private_registry.h"
#include "tests/support/test_support.h"
#include "vellum/platform/module_file.h"
#include "vellum/platform/performance_counter.h"

namespace {

namespace fs = std::filesystem;
using namespace vellum::test;
using vellum::platform::module_file_name;
using Values = std::map<std::string, std::string>;

class Registration : public ::testing::Test {
 protected:
  // Loads a copy of the tiny module at a path of `length` characters, for the rest of the run.
  std::string module_at_length(std::size_t length) {
    std::string folder = (registry_.root() / "m").string();
    while (folder.size() + 112 < length) folder += "/" + std::string(100, 'd');
    fs::create_directories(folder);
    std::string file = folder + "/" + std::string(length - folder.size() - 4, 'f') + ".so";
    fs::copy_file(VELLUM_TINY_MODULE, file, fs::copy_options::overwrite_existing);
    EXPECT_NE(module_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL), nullptr) << dlerror();
    return file;
  }

  PrivateRegistryStore registry_;
  void* module_ = nullptr;
};

// 519 characters fit the first buffer; 520 and more go through the growing one. Each registration
// replaces the one before and leaves the other pack's value alone.
TEST_F(Registration, StoresTheWholeModulePathUnderTheGuidTextAndRemovesIt) {
  GUID other = kTestGuid;
  other.Data4[7] = 0xFF;
  ASSERT_EQ(RegisterEfiFunctionPack(nullptr, &other), kVellumOk);
  Values values = stored_packs();
  for (std::size_t length : {40u, 519u, 520u, 1039u, 1040u, 2500u}) {
    values[kTestGuidText] = module_at_length(length);
    ASSERT_EQ(RegisterEfiFunctionPack(module_, &kTestGuid), kVellumOk) << length;
    EXPECT_EQ(stored_packs(), values) << length;
  }
  values.erase(kTestGuidText);
  EXPECT_EQ(UnregisterEfiFunctionPack(&kTestGuid), kVellumOk);
  EXPECT_EQ(UnregisterEfiFunctionPack(&kTestGuid), kVellumFail) << "registered no more";
  EXPECT_EQ(stored_packs(), values);
}

TEST_F(Registration, EveryAllocationFailureGivesEFailStoresNothingAndLeavesNoBlock) {
  std::string const path = module_at_length(1500);
  std::int64_t const before = vellum::faults::live_blocks();
  std::size_t nth = 0;
  for (std::int32_t status = kVellumFail; status != kVellumOk && nth < 100;) {
    vellum::faults::arm(++nth);
    status = RegisterEfiFunctionPack(module_, &kTestGuid);
    vellum::faults::disarm();
    EXPECT_EQ(vellum::faults::live_blocks(), before) << "failing allocation " << nth;
    EXPECT_EQ(stored_packs(), (status ? Values{} : Values{{kTestGuidText, path}})) << "failing allocation " << nth;
  }
  EXPECT_TRUE(nth > 3 && nth < 100) << nth << ": the growing buffer failed on the way; at last the call succeeds";
  vellum::faults::count_only();  // the buffers: twice the room each time
  ASSERT_EQ(RegisterEfiFunctionPack(module_, &kTestGuid), kVellumOk);
  std::vector<std::size_t> grown;
  for (vellum::faults::Event const& e : vellum::faults::journal())
    if (e.allocated && e.bytes % 520 == 0) grown.push_back(e.bytes);
  vellum::faults::disarm();
  EXPECT_EQ(grown, (std::vector<std::size_t>{1040, 2080}));
}

// As the Windows function: the characters written, or `size` when the name was cut to size - 1; a
// zero after them and nothing beyond; 0 on failure; a null module is the program.
TEST_F(Registration, ModuleFileNameKeepsTheContractOfTheSystemFunction) {
  std::string const path = module_at_length(80);
  for (std::uint32_t size : {81u, 80u, 2u, 1u, 0u}) {
    std::string buffer(128, '#');
    EXPECT_EQ(module_file_name(module_, buffer.data(), size), std::min(size, 80u)) << size;
    EXPECT_EQ(buffer, size ? path.substr(0, size - 1) + '\0' + std::string(128 - size, '#') : std::string(128, '#'));
  }
  char name[4096];
  EXPECT_EQ(module_file_name(module_, nullptr, 16), 0u);
  // read_symlink, not equivalent: an emulator (qemu-i386) answers the link's text as the program's.
  EXPECT_TRUE(module_file_name(nullptr, name, sizeof name) && name == fs::read_symlink("/proc/self/exe")) << name;
  // A module loaded by a path relative to the working folder is named in full.
  fs::copy_file(VELLUM_TINY_MODULE, registry_.root() / "r.so");
  fs::path const here = fs::current_path();
  fs::current_path(registry_.root());
  void* relative = dlopen("./r.so", RTLD_NOW | RTLD_LOCAL);
  std::uint32_t const named = relative ? module_file_name(relative, name, sizeof name) : 0;
  fs::current_path(here);
  EXPECT_TRUE(named && name[0] == '/' && fs::equivalent(name, registry_.root() / "r.so")) << name;
}

TEST(PerformanceCounter, CountsTheNanosecondsOfTheMonotonicClock) {
  timespec now;
  auto clock = [&] { return clock_gettime(CLOCK_MONOTONIC, &now), now.tv_sec * 1000000000ll + now.tv_nsec; };
  std::int64_t const before = clock(), value = vellum::platform::counter_value(), after = clock();
  EXPECT_TRUE(before <= value && value <= after) << before << " " << value << " " << after;
  EXPECT_EQ(vellum::platform::counter_frequency(), 1000000000);
}

}  // namespace
