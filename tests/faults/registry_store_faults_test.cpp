// The registry store under faults from outside: writers killed in the middle of a write, and key
// folders that are unreadable, replaced by files, or full of damaged value files. Whatever
// happens, a reader sees whole values or none, and the operations answer E_FAIL, never crash.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/private_registry.h"
#include "tests/support/test_support.h"
#include "vellum/platform/module_file.h"
#include "vellum/platform/registry.h"

namespace {

namespace fs = std::filesystem;
using vellum::platform::list_values;
using vellum::platform::RegistryValue;

constexpr auto& kKey = vellum::test::kPacksKey;
constexpr auto& kGuid = vellum::test::kTestGuid;
constexpr auto& kGuidText = vellum::test::kTestGuidText;

class RegistryStoreFaults : public ::testing::Test {
 protected:

  // The program's own path, which RegisterEfiFunctionPack stores for a null module.
  static std::string program_path() {
    char buffer[4096];
    std::uint32_t length = vellum::platform::module_file_name(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length);
  }

  static std::map<std::string, std::string> by_name(std::vector<RegistryValue> const& values) {
    std::map<std::string, std::string> named;
    for (auto const& value : values) named[value.name] = std::string(value.data.begin(), value.data.end());
    return named;
  }

  vellum::test::PrivateRegistryStore registry_;
  fs::path root_ = registry_.root(), store_ = registry_.store(), key_folder_ = registry_.key_folder();
};

// ---- Killed writers ---------------------------------------------------------------------------

// A value of generation g: "g<number>:" then a fill letter of that generation, a length that
// depends on g, and the terminating zero. A reader can tell a whole value from any mixture.
std::string value_of(std::uint64_t generation) {
  std::string head = "g" + std::to_string(generation) + ":";
  std::size_t length = 64 * 1024 + (generation % 13) * 1531;
  std::string value = head + std::string(length - head.size(), static_cast<char>('a' + generation % 26));
  value += '\0';
  return value;
}

// The generation of a whole value, or -1 when the data is not exactly one generation's value.
std::int64_t generation_of(std::string const& data) {
  if (data.size() < 3 || data[0] != 'g') return -1;
  std::size_t colon = data.find(':');
  if (colon == std::string::npos || colon > 24) return -1;
  std::uint64_t generation = std::strtoull(data.c_str() + 1, nullptr, 10);
  return data == value_of(generation) ? static_cast<std::int64_t>(generation) : -1;
}

TEST_F(RegistryStoreFaults, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewWholeValue) {
  constexpr int kRounds = 200;
  constexpr char kBig[] = "{BIG-VALUE}";
  constexpr char kSteady[] = "{STEADY}";
  std::string const steady = value_of(7);
  std::string const program = program_path();
  {
    vellum::platform::RegistryKey key = nullptr;
    ASSERT_TRUE(vellum::platform::create_key_for_write(kKey, &key));
    ASSERT_TRUE(vellum::platform::set_string_value(key, kBig, value_of(0).data(), value_of(0).size()));
    ASSERT_TRUE(vellum::platform::set_string_value(key, kSteady, steady.data(), steady.size()));
    vellum::platform::close_key(key);
    ASSERT_EQ(RegisterEfiFunctionPack(nullptr, &kGuid), kVellumOk);
  }

  // Checks one reading of the store: the three values, each whole; the big one no older than
  // `oldest`. Returns the big value's generation.
  auto check_store = [&](std::int64_t oldest, int round) -> std::int64_t {
    auto listed = list_values(kKey);
    EXPECT_TRUE(listed.has_value()) << "round " << round;
    if (!listed) return -1;
    auto values = by_name(*listed);
    EXPECT_EQ(values.size(), 3u) << "round " << round << ": temporaries are not values";
    EXPECT_EQ(values[kSteady], steady) << "round " << round;
    EXPECT_EQ(values[kGuidText], program + '\0') << "round " << round;
    std::int64_t generation = generation_of(values[kBig]);
    EXPECT_GE(generation, oldest) << "round " << round << ": torn, partial or older value of "
                                  << values[kBig].size() << " bytes";
    return generation;
  };

  std::mt19937 random(20261206);
  int rounds_with_temporaries = 0;
  std::size_t temporaries_seen = 0;
  std::int64_t latest = 0;
  for (int round = 1; round <= kRounds; ++round) {
    std::uint64_t const first = static_cast<std::uint64_t>(round) * 1000000;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      // The writer: new generations of the big value without end, the pack's own value now
      // and then, until it is killed. It reports once its first write is complete.
      close(ready[0]);
      vellum::platform::RegistryKey key = nullptr;
      if (!vellum::platform::create_key_for_write(kKey, &key)) _exit(2);
      for (std::uint64_t g = first;; ++g) {
        std::string value = value_of(g);
        if (!vellum::platform::set_string_value(key, kBig, value.data(), static_cast<std::uint32_t>(value.size())))
          _exit(3);
        if (g == first && write(ready[1], "r", 1) != 1) _exit(4);
        if (g % 5 == 0 && RegisterEfiFunctionPack(nullptr, &kGuid) != kVellumOk) _exit(5);
      }
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1) << "round " << round << ": the writer did not start";
    close(ready[0]);
    // Now and then a reading while the writer runs. Then the kill: in odd rounds at a random
    // moment of the writer's work, in even ones as soon as one of its temporaries is seen, so
    // that many kills land between the start of a write and its rename.
    if (round % 4 == 1) latest = check_store(static_cast<std::int64_t>(first), round);
    if (round % 2 == 1) {
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
    } else {
      std::string const own = ".tmp-" + std::to_string(writer) + "-";
      bool seen = false;
      for (int look = 0; look < 10000 && !seen; ++look) {
        DIR* folder = opendir(key_folder_.c_str());
        ASSERT_NE(folder, nullptr);
        while (dirent* entry = readdir(folder))
          if (std::strncmp(entry->d_name, own.c_str(), own.size()) == 0) seen = true;
        closedir(folder);
      }
    }
    ASSERT_EQ(kill(writer, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "round " << round << ": the writer stopped by itself, status " << status;
    std::int64_t after = check_store(std::max(latest, static_cast<std::int64_t>(first)), round);
    if (::testing::Test::HasFailure()) break;
    latest = after;

    std::size_t temporaries = 0;
    for (auto const& entry : fs::directory_iterator(key_folder_))
      if (entry.path().filename().string()[0] == '.') ++temporaries;
    if (temporaries > temporaries_seen) ++rounds_with_temporaries;
    temporaries_seen = temporaries;
  }
  // The kills did land inside writes: their temporaries are still there, and were ignored.
  EXPECT_GT(rounds_with_temporaries, 0);
  RecordProperty("kill_rounds", kRounds);
  RecordProperty("rounds_killed_mid_write", rounds_with_temporaries);

  // A later writer is not hindered by what the killed ones left.
  std::string const last = value_of(1);
  vellum::platform::RegistryKey key = nullptr;
  ASSERT_TRUE(vellum::platform::create_key_for_write(kKey, &key));
  EXPECT_TRUE(vellum::platform::set_string_value(key, kBig, last.data(), static_cast<std::uint32_t>(last.size())));
  vellum::platform::close_key(key);
  EXPECT_EQ(by_name(*list_values(kKey))[kBig], last);
  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumOk);
}

// ---- Damaged store folders --------------------------------------------------------------------

// A file, or a link to itself that no one can open whatever their privileges, in place of the
// key's folder or of a folder above it: nothing is listed, registered or removed, and the file
// or link is left alone.
TEST_F(RegistryStoreFaults, AKeyFolderThatIsNoFolderGivesEFail) {
  std::string const content = "not a key\n";
  for (fs::path file : {key_folder_, key_folder_.parent_path(), store_ / "HKEY_CLASSES_ROOT", store_})
    for (bool link : {false, true}) {
      SCOPED_TRACE(file.string() + (link ? " (link)" : " (file)"));
      fs::remove_all(store_);
      fs::create_directories(file.parent_path());
      if (link)
        fs::create_symlink(file, file);
      else
        std::ofstream(file) << content;
      EXPECT_FALSE(list_values(kKey).has_value());
      EXPECT_EQ(RegisterEfiFunctionPack(nullptr, &kGuid), kVellumFail);
      EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumFail);
      std::ifstream in(file);
      std::string left((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_TRUE(link ? fs::is_symlink(file) : left == content) << "left alone";
    }
}

// Runs `checks` in a child process without privileges, so that permissions apply: the test
// user's own when it is not root; when it is root, the unprivileged user 65534, to which the
// child changes (root reads and writes through any permission bits). The child's exit status
// counts the failed checks; 77 means it could not give up root.
template <class Checks>
int failures_without_privileges(Checks checks) {
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(77);
    _exit(checks());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

#define CHILD_CHECK(condition)                                                  \
  do {                                                                          \
    if (!(condition)) {                                                         \
      std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failed;                                                                 \
    }                                                                           \
  } while (0)

TEST_F(RegistryStoreFaults, UnreadableFoldersAndValuesGiveEFailOrAreSkipped) {
  ASSERT_EQ(RegisterEfiFunctionPack(nullptr, &kGuid), kVellumOk);
  std::string const program = program_path() + '\0';
  // The store must be reachable by the unprivileged user; only the damaged part is not.
  for (fs::path p = store_; ; p = p.parent_path()) {
    fs::permissions(p, fs::perms::all, fs::perm_options::replace);
    if (p == root_) break;
  }
  for (fs::path p : {store_ / "HKEY_CLASSES_ROOT", store_ / "HKEY_CLASSES_ROOT" / "Vellum", key_folder_})
    fs::permissions(p, fs::perms::all, fs::perm_options::replace);
  GUID other = kGuid;
  other.Data4[7] = 0xFF;
  char other_text[64];
  vellum::format_guid(other, other_text);

  // As a process without privileges: the number of values listed (-1: listing fails), each the
  // program's path, and whether registering and removing a second pack succeed (unless null).
  auto unprivileged = [&](int listed, std::optional<bool> writes) {
    return failures_without_privileges([&] {
      int failed = 0;
      auto values = list_values(kKey);
      CHILD_CHECK(values ? static_cast<int>(values->size()) == listed : listed < 0);
      if (values)
        for (auto const& [name, data] : by_name(*values)) CHILD_CHECK(data == program);
      if (writes) {
        CHILD_CHECK((RegisterEfiFunctionPack(nullptr, &other) == kVellumOk) == *writes);
        CHILD_CHECK((UnregisterEfiFunctionPack(&other) == kVellumOk) == *writes);
      }
      return failed;
    });
  };
  int failures = unprivileged(1, true);
  if (failures == 77) GTEST_SKIP() << "running as root, and root cannot be given up to make permissions apply";
  ASSERT_EQ(failures, 0) << "the store as prepared is usable without privileges";

  // One value file that cannot be read: skipped; the others are listed.
  ASSERT_EQ(RegisterEfiFunctionPack(nullptr, &other), kVellumOk);
  fs::permissions(key_folder_ / other_text, fs::perms::none, fs::perm_options::replace);
  EXPECT_EQ(unprivileged(1, std::nullopt), 0);

  // The key folder, then the folder above it, then the store's root unreadable: nothing can be
  // listed, registered or removed, and nothing is changed.
  for (fs::path folder : {key_folder_, store_ / "HKEY_CLASSES_ROOT", store_}) {
    SCOPED_TRACE(folder.string());
    fs::permissions(folder, fs::perms::none, fs::perm_options::replace);
    EXPECT_EQ(unprivileged(-1, false), 0);
    fs::permissions(folder, fs::perms::all, fs::perm_options::replace);
  }
  fs::permissions(key_folder_ / other_text, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
  auto values = by_name(*list_values(kKey));
  EXPECT_EQ(values.size(), 2u);
  EXPECT_EQ(values[kGuidText], program);
  EXPECT_EQ(values[other_text], program);
}

// A value file as the store writes it: "VLMV", type and length as little-endian words, data.
std::string value_file(std::uint32_t type, std::uint32_t length, std::string const& data) {
  std::string file = "VLMV";
  for (std::uint32_t word : {type, length})
    for (int k = 0; k < 4; ++k) file += static_cast<char>(word >> (8 * k));
  return file + data;
}

TEST_F(RegistryStoreFaults, DamagedValueFilesAreSkippedAndCanBeReplaced) {
  fs::create_directories(key_folder_);
  auto put = [&](std::string const& name, std::string const& content) {
    std::ofstream(key_folder_ / name, std::ios::binary) << content;
  };
  // Damage of every kind the format can show.
  put("{EMPTY}", "");
  put("{SHORT}", "VLMV\x01");
  put("{HEADER-ONLY-WRONG-LENGTH}", value_file(1, 1, ""));
  put("{WRONG-MAGIC}", "XLMV" + value_file(1, 3, "ab").substr(4));
  put("{LONGER-THAN-FILE}", value_file(1, 100, "abc"));
  put("{SHORTER-THAN-FILE}", value_file(1, 2, "abcdef"));
  put("{HUGE-LENGTH}", value_file(1, 0xFFFFFFFFu, "abc"));
  put("{BAD%G1ESCAPE}", value_file(1, 3, "ab"));
  put("{CUT-ESCAPE}%4", value_file(1, 3, "ab"));
  fs::create_directories(key_folder_ / "{A-FOLDER}");
  // A file named as the pack's value, holding garbage until the pack registers.
  put(kGuidText, "\x7f" "ELF garbage");
  // Random bytes, half of them behind the right magic; the valid ones, and well-formed values
  // (one empty, one not a string, the unnamed one, an escaped name), by type and data.
  std::mt19937 random(7);
  std::map<std::string, std::pair<std::uint32_t, std::string>> expected{
      {"{GOOD}", {1, std::string("abc\0", 4)}}, {"{GOOD-EMPTY}", {1, ""}}, {"{GOOD-BINARY}", {3, std::string("\xff\x00", 2)}},
      {"", {1, std::string("d\0", 2)}},         {"{ESCAPED/name}", {1, std::string("e\0", 2)}}};
  for (int k = 0; k < 200; ++k) {
    std::string name = "{RANDOM-" + std::to_string(k) + "}";
    std::string bytes(random() % 40, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    if (k % 2 == 0) {
      std::uint32_t length = k % 4 == 0 ? static_cast<std::uint32_t>(bytes.size()) : static_cast<std::uint32_t>(random());
      std::uint32_t type = random() % 4;
      if (length == bytes.size()) expected[name] = {type, bytes};
      put(name, value_file(type, length, bytes));
    } else {
      put(name, bytes);
    }
  }
  put("{GOOD}", value_file(1, 4, std::string("abc\0", 4)));
  put("{GOOD-EMPTY}", value_file(1, 0, ""));
  put("{GOOD-BINARY}", value_file(3, 2, std::string("\xff\x00", 2)));
  put("%", value_file(1, 2, std::string("d\0", 2)));
  put("{ESCAPED%2Fname}", value_file(1, 2, std::string("e\0", 2)));

  auto listed = list_values(kKey);
  ASSERT_TRUE(listed.has_value());
  std::map<std::string, std::pair<std::uint32_t, std::string>> values;
  for (auto const& value : *listed) values[value.name] = {value.type, std::string(value.data.begin(), value.data.end())};
  EXPECT_EQ(values, expected);

  // Registering replaces the garbage under the pack's name; removing it removes the file.
  ASSERT_EQ(RegisterEfiFunctionPack(nullptr, &kGuid), kVellumOk);
  EXPECT_EQ(by_name(*list_values(kKey))[kGuidText], program_path() + '\0');
  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumOk);
  EXPECT_FALSE(fs::exists(key_folder_ / kGuidText));
  EXPECT_EQ(UnregisterEfiFunctionPack(&kGuid), kVellumFail);
}

}  // namespace

namespace {

// Temporaries left by killed writers never block a later writer, whatever their names; pipes,
// devices and links among the values are not values, and the reader does not wait on them.
TEST_F(RegistryStoreFaults, LeftoversAndSpecialFilesNeitherBlockWritersNorTheReader) {
  GUID const guid{0xFEEDFACE, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  ASSERT_EQ(RegisterEfiFunctionPack(nullptr, &guid), kVellumOk);
  char name[64];
  vellum::format_guid(guid, name);
  // Every temporary name this process could use next, as a killed process of the same id left it.
  for (int serial = 0; serial < 64; ++serial)
    std::ofstream(key_folder_ / (".tmp-" + std::to_string(getpid()) + "-" + std::to_string(serial) + "-" + name))
        << "left by a killed writer";
  ASSERT_EQ(mkfifo((key_folder_ / "{FIFO}").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", key_folder_ / "{ZERO}");
  fs::create_symlink(key_folder_ / name, key_folder_ / "{LINK}");

  for (int write = 0; write < 3; ++write) EXPECT_EQ(RegisterEfiFunctionPack(nullptr, &guid), kVellumOk) << write;
  auto values = vellum::platform::list_values("Vellum\\Functions");
  ASSERT_TRUE(values.has_value());
  auto named = by_name(*values);
  EXPECT_EQ(named.size(), 1u) << "only the one regular value file";
  EXPECT_EQ(named[name], program_path() + '\0');
}

}  // namespace
