// The registry store under faults from outside: killed writers, failed or cut-short reads and writes, damaged files.
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "tests/support/private_registry.h"

// Every read and write of this program goes through these. Armed with an error and a count, the
// next calls fail with it (EINTR: interrupted before a byte moved), and are counted; each call
// moves at most `most` bytes.
struct Failing {
  int error = 0, calls = 0, failed = 0;
  std::size_t most = SIZE_MAX;
  bool fails() { return calls > 0 && (--calls, ++failed, errno = error, true); }
} failing_reads, failing_writes;
extern "C" ssize_t read(int fd, void* data, size_t n) {
  return failing_reads.fails() ? -1 : syscall(SYS_read, fd, data, std::min(n, failing_reads.most));
}
extern "C" ssize_t write(int fd, void const* data, size_t n) {
  return failing_writes.fails() ? -1 : syscall(SYS_write, fd, data, std::min(n, failing_writes.most));
}

namespace {

namespace fs = std::filesystem;
namespace platform = vellum::platform;
using namespace vellum::test;
using Values = std::map<std::string, std::string>;

class RegistryStore : public ::testing::Test {
 protected:
  static bool set_value(char const* name, std::string const& text) {
    platform::RegistryKey key = nullptr;
    if (!platform::create_key_for_write(kPacksKey, &key)) return false;
    bool set = platform::set_string_value(key, name, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
    platform::close_key(key);
    return set;
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (auto const& entry : fs::directory_iterator(key_)) names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
  }

  PrivateRegistryStore registry_;
  fs::path const key_ = registry_.key_folder();
};

std::string value_of(std::int64_t g) {
  std::string head = "g" + std::to_string(g) + ":";
  return head + std::string(64 * 1024 + (g % 13) * 1531 - head.size(), static_cast<char>('a' + g % 26));
}

TEST_F(RegistryStore, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewWholeValue) {
  ASSERT_TRUE(set_value("{BIG}", value_of(0)));
  ASSERT_EQ(RegisterEfiFunctionPack(nullptr, &kTestGuid), kVellumOk);
  Values const before = stored_packs();
  // A reading: the pack's value as it was, no temporary listed, the big one whole and no older.
  auto check = [&](std::int64_t oldest, int round) {
    Values values = stored_packs();
    std::string& big = values["{BIG}"];
    std::int64_t g = std::strtoll(big.c_str() + !big.empty(), nullptr, 10);
    EXPECT_TRUE(big == value_of(g) && g >= oldest) << "round " << round << ": torn or older value";
    big = before.at("{BIG}");
    EXPECT_EQ(values, before) << "round " << round;
    return g;
  };
  std::mt19937 random(20261206);
  std::int64_t latest = 0;
  for (int round = 1; round <= 50 && !HasFailure(); ++round) {
    std::int64_t const first = round * std::int64_t{1000000};
    pid_t writer = fork();
    // The writer: new generations of the big value, now and then the pack's value, until killed
    // (by the test, or with it when it ends before).
    if (writer == 0) prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (std::int64_t g = first; writer == 0; ++g)
      if (!set_value("{BIG}", value_of(g)) || (g % 5 == 0 && RegisterEfiFunctionPack(nullptr, &kTestGuid) != kVellumOk))
        _exit(3);
    // Readings until its first value is in; the kill in odd rounds after a random while, in even
    // ones once a temporary of the writer is seen, so that many land inside a write.
    for (int reads = 0; check(latest, round) < first; ++reads) ASSERT_LT(reads, 100000) << "round " << round;
    std::string const own = ".tmp-" + std::to_string(writer) + "-";
    auto seen = [&] { return std::ranges::any_of(entries(), [&](auto const& e) { return e.starts_with(own); }); };
    if (round % 2) usleep(random() % 3000);
    for (int look = 0; round % 2 == 0 && look < 2000 && !seen(); ++look) sched_yield();
    int status = 0;
    ASSERT_TRUE(kill(writer, SIGKILL) == 0 && waitpid(writer, &status, 0) == writer && WIFSIGNALED(status))
        << "round " << round << ": the writer stopped by itself, status " << status;
    latest = check(std::max(latest, first), round);
  }
  EXPECT_GT(std::ranges::count_if(entries(), [](auto const& e) { return e[0] == '.'; }), 0)
      << "kills landed inside writes, and their temporaries were passed over";
  ASSERT_TRUE(set_value("{BIG}", value_of(1))) << "what killed writers left hinders no later one";
  EXPECT_EQ(stored_packs()["{BIG}"], value_of(1));
}

// Writes that fail (the file outgrows the process's size limit; no descriptor is left to open it)
// leave the old value whole and no temporary behind. A file in place of the key's folder is no key.
TEST_F(RegistryStore, FailedWritesLeaveTheOldValue) {
  ASSERT_TRUE(set_value("{V}", "old"));
  pid_t child = fork();
  if (child == 0) {  // the limits are the child's alone
    signal(SIGXFSZ, SIG_IGN);
    rlimit const size{4096, 4096}, descriptors{0, 0};
    bool const outgrown = setrlimit(RLIMIT_FSIZE, &size) != 0 || set_value("{V}", std::string(5000, 'n'));
    _exit(outgrown + 2 * (setrlimit(RLIMIT_NOFILE, &descriptors) != 0 || set_value("{V}", "new")));
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(status, 0) << "1: the outgrown write, 2: the one without a descriptor did not fail";
  EXPECT_EQ(stored_packs(), (Values{{"{V}", "old"}}));
  EXPECT_EQ(entries(), std::vector<std::string>{"{V}"}) << "no temporary left";
  fs::remove_all(key_);
  std::ofstream(key_) << "no key";
  platform::RegistryKey key = nullptr;
  EXPECT_FALSE(platform::create_key_for_write(kPacksKey, &key) || platform::open_key_for_write(kPacksKey, &key) ||
               platform::list_values(kPacksKey) || UnregisterEfiFunctionPack(&kTestGuid) == kVellumOk);
}

// An interrupted read or write is tried again, and what follows it is not taken for one more; a short
// one goes on where it stopped; a value whose read fails is passed over, read once.
TEST_F(RegistryStore, InterruptedShortAndFailingReadsAndWrites) {
  failing_writes = {EINTR, 1, 0, 5};
  EXPECT_TRUE(set_value("{V}", "a longer value"));
  failing_reads = {EINTR, 1, 0, 3};
  EXPECT_EQ(stored_packs(), (Values{{"{V}", "a longer value"}}));
  EXPECT_EQ(std::pair(failing_writes.failed, failing_reads.failed), std::pair(1, 1));
  failing_reads = {EIO, 100};
  std::size_t const listed = platform::list_values(kPacksKey).value().size();
  EXPECT_EQ(std::pair(listed, failing_reads.failed), std::pair(std::size_t{0}, 1));
  failing_reads = failing_writes = {};
}

// A value file: "VLMV", type and data length as little-endian words, the data.
std::string value_file(std::uint32_t type, std::uint32_t length, std::string const& data) {
  std::string file = "VLMV";
  for (std::uint32_t word : {type, length})
    for (int k = 0; k < 4; ++k) file += static_cast<char>(word >> 8 * k);
  return file + data;
}

// Names with bytes outside [A-Za-z0-9{}-_] as %XX in file names; values only from well-formed regular
// files of at most 64 MiB, read without a descriptor left open.
TEST_F(RegistryStore, ValueFilesAndTheirNames) {
  std::string const names[] = {"AZaz09{}-_", "/a /", std::string("%\xff.\n", 4), ""};
  std::map<std::string, std::pair<std::uint32_t, std::string>> values, expected{
      {"{TYPED}", {0x87654321, std::string("\xff\0b", 3)}}, {"{EMPTY-DATA}", {1, ""}}};
  for (auto const& name : names) ASSERT_TRUE(set_value(name.c_str(), name));
  for (auto const& name : names) expected[name] = {1, name + '\0'};
  EXPECT_EQ(entries(), (std::vector<std::string>{"%", "%25%FF%2E%0A", "%2Fa%20%2F", "AZaz09{}-_"}));
  for (auto const& [file, content] : std::initializer_list<std::pair<std::string, std::string>>{
           {"{TYPED}", value_file(0x87654321, 3, expected["{TYPED}"].second)}, {"{EMPTY-DATA}", value_file(1, 0, "")},
           {"{LARGEST}", value_file(1, (1 << 26) - 12, "")}, {"{TOO-LARGE}", value_file(1, (1 << 26) - 11, "")},
           // Damage of every kind the format can show, and names that are no value's.
           {"{EMPTY}", ""}, {"{WRONG-MAGIC}", "XLMV" + value_file(1, 2, "ab").substr(4)},
           {"{LONGER-THAN-FILE}", value_file(1, 100, "abc")}, {"{SHORTER-THAN-FILE}", value_file(1, 2, "abc")},
           {"{BAD%G1}", value_file(1, 1, "a")}, {"{CUT}%4", value_file(1, 1, "a")},
           {".tmp-1-2-x", value_file(1, 1, "a")}})
    std::ofstream(key_ / file, std::ios::binary) << content;
  fs::resize_file(key_ / "{LARGEST}", 1 << 26);
  fs::resize_file(key_ / "{TOO-LARGE}", (1 << 26) + 1);
  fs::create_directory(key_ / "{FOLDER}");
  ASSERT_EQ(mkfifo((key_ / "{FIFO}").c_str(), 0600), 0);
  fs::create_symlink(key_ / "{TYPED}", key_ / "{LINK}");

  auto descriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{}); };
  auto const open_before = descriptors();
  std::vector<platform::RegistryValue> const listed = platform::list_values(kPacksKey).value();
  EXPECT_EQ(descriptors(), open_before);
  for (auto& value : listed) values[value.name] = {value.type, {value.data.begin(), value.data.end()}};
  EXPECT_EQ(values["{LARGEST}"].second.size(), (1u << 26) - 12);
  values.erase("{LARGEST}");
  EXPECT_EQ(values, expected);
}

}  // namespace
