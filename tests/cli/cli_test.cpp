// vellum-host as its users run it: golden output of list and call on the example packs, and one
// case per kind of bad input with its message and exit status.
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/private_registry.h"

extern char** environ;

namespace {

struct HostRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string slurp(std::string const& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  std::remove(path.c_str());
  return text.str();
}

// The host's input, output and error output are files beside the test's.
HostRun run_host(std::vector<std::string> const& args, std::string const& input = "") {
  std::string const base = ::testing::TempDir() + "vellum-host-" + std::to_string(getpid());
  std::string const in = base + ".in", out = base + ".out", err = base + ".err";
  std::ofstream(in, std::ios::binary) << input;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv{const_cast<char*>(VELLUM_HOST)};
  for (auto const& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, VELLUM_HOST, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  HostRun run;
  int wait_status = 0;
  if (spawned == 0 && waitpid(pid, &wait_status, 0) == pid && WIFEXITED(wait_status))
    run.status = WEXITSTATUS(wait_status);
  run.out = slurp(out);
  run.err = slurp(err);
  std::remove(in.c_str());
  return run;
}

// @elementwise, @matrix, @faulty and @notapack stand for the modules' paths, in the arguments
// and in the expected texts.
std::string expand(std::string text) {
  struct {
    char const* name;
    char const* path;
  } const modules[] = {{"@elementwise", ELEMENTWISE_PACK}, {"@matrix", MATRIX_PACK}, {"@strings", STRINGS_PACK},
                       {"@faulty", FAULTY_PACK},           {"@notapack", NOT_A_PACK}};
  for (auto const& m : modules)
    for (std::size_t at; (at = text.find(m.name)) != std::string::npos;) text.replace(at, std::strlen(m.name), m.path);
  return text;
}

constexpr char kUsage[] =
    "usage: vellum-host demo | packs | list PACK | register PACK | unregister PACK | [--check-leaks] [--time FILE] "
    "call PACK FUNCTION ARG... | repl PACK...\n";

struct Case {
  char const* name;
  std::vector<std::string> args;
  int status;
  char const* out;
  char const* err;
  bool err_is_prefix = false;  // for messages that end in the system's own words
};

std::ostream& operator<<(std::ostream& os, Case const& c) { return os << c.name; }

class Cli : public ::testing::TestWithParam<Case> {};

TEST_P(Cli, OutputAndStatus) {
  Case const& c = GetParam();
  std::vector<std::string> args;
  for (auto const& a : c.args) args.push_back(expand(a));
  HostRun run = run_host(args);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.out, expand(c.out));
  if (c.err_is_prefix)
    EXPECT_EQ(run.err.rfind(expand(c.err), 0), 0u) << run.err;
  else
    EXPECT_EQ(run.err, expand(c.err));
  if (c.status == 2) {
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one line on stderr";
  }
}

Case const kGolden[] = {
    {"list_elementwise", {"list", "@elementwise"}, 0,
     "sqrt(M): Mat -> Mat\nhypot(A, B): Mat, Mat -> Mat\nscale(M, z): Mat, Num -> Mat\n", ""},
    {"list_matrix", {"list", "@matrix"}, 0, "mmul(A, B): Mat, Mat -> Mat\ntranspose(M): Mat -> Mat\n", ""},
    {"sqrt", {"call", "@elementwise", "sqrt", "[4, -9; 16, -1]"}, 0, "[2, 3i;\n 4, 1i]\n", ""},
    {"scale", {"call", "@elementwise", "scale", "[1, -2.5; 30, 4]", "3-4i"}, 0,
     "[   3 - 4i, -7.5 + 10i;\n 90 - 120i,   12 - 16i]\n", ""},
    {"mmul_checked", {"--check-leaks", "call", "@matrix", "mmul", "[1, 2; 3, 4]", "[1, 0.5; -1, 2]"}, 0,
     "[-1, 4.5;\n -1, 9.5]\n", ""},
    {"nested_cell_error", {"call", "@elementwise", "sqrt", "[1, [2; 3]; \"a\", 4]"}, 1,
     "error in argument 1: may not be nested\n", ""},
    {"thrown_text", {"call", "@faulty", "throw_text", "\"x\""}, 1, "error in argument 1: is not welcome here\n", ""},
    {"leak", {"call", "--check-leaks", "@faulty", "leak"}, 3, "\"kept\"\n",
     "vellum-host: leak left records or arrays behind:\nrecord ", true},
    {"leak_unchecked", {"call", "@faulty", "leak"}, 0, "\"kept\"\n", ""},
};
INSTANTIATE_TEST_SUITE_P(Golden, Cli, ::testing::ValuesIn(kGolden),
                         [](auto const& info) { return std::string(info.param.name); });

// Every kind of bad input a user can give: one line on stderr, status 2.
Case const kBadInput[] = {
    {"malformed_literal", {"call", "@elementwise", "sqrt", "[1, 2; 3]"}, 2, "",
     "vellum-host: malformed literal '[1, 2; 3]' at column 1: the rows of the matrix have different lengths\n"},
    {"unknown_function", {"call", "@elementwise", "cbrt", "[1]"}, 2, "",
     "vellum-host: @elementwise has no function cbrt\n"},
    {"too_many_arguments", {"call", "@matrix", "transpose", "[1]", "[2]"}, 2, "",
     "vellum-host: transpose(M) takes 1 argument, given 2\n"},
    {"too_few_arguments", {"call", "@matrix", "mmul", "[1]"}, 2, "", "vellum-host: mmul(A, B) takes 2 arguments, given 1\n"},
    {"wrong_type", {"call", "@elementwise", "scale", "[1]", "[2]"}, 2, "",
     "vellum-host: argument 2 of scale must be Num, not Mat\n"},
    {"missing_pack", {"list", "/nonexistent/pack.so"}, 2, "", "vellum-host: cannot load pack /nonexistent/pack.so: ", true},
    {"not_a_pack", {"list", "@notapack"}, 2, "",
     "vellum-host: @notapack is not a pack: it has no usable vellum_pack_functions()\n"},
    {"no_value", {"call", "@faulty", "nothing", "1"}, 2, "", "vellum-host: nothing returned no value\n"},
    {"foreign_exception", {"call", "@faulty", "throw_other"}, 2, "",
     "vellum-host: the call ended with an exception the host does not know\n"},
    {"no_command", {}, 2, "", kUsage},
    {"call_without_function", {"call", "@matrix"}, 2, "", kUsage},
    {"register_without_registration", {"register", "@matrix"}, 2, "",
     "vellum-host: @matrix does not register itself: it has no vellum_pack_register()\n"},
    {"repl_missing_pack", {"repl", "@elementwise", "/nonexistent/pack.so"}, 2, "",
     "vellum-host: cannot load pack /nonexistent/pack.so: ", true},
};
INSTANTIATE_TEST_SUITE_P(BadInput, Cli, ::testing::ValuesIn(kBadInput),
                         [](auto const& info) { return std::string(info.param.name); });

// The host finds packs in a registry store of the test's own.
class CliPacks : public ::testing::Test {
  vellum::test::PrivateRegistryStore registry_;
};

// A pack registered under a GUID is listed by `packs` and can be named by its GUID.
TEST_F(CliPacks, RegisteredPacksByGuid) {
  void* module = dlopen(ELEMENTWISE_PACK, RTLD_NOW);
  ASSERT_NE(module, nullptr);
  GUID const guid{0x0123ABCD, 0x4567, 0x89ab, {0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}};
  ASSERT_EQ(RegisterEfiFunctionPack(module, &guid), kVellumOk);
  char const* text = "{0123ABCD-4567-89ab-CDEF-0123456789AB}";

  HostRun packs = run_host({"packs"});
  EXPECT_EQ(packs.status, 0);
  EXPECT_EQ(packs.out, std::string(text) + "  " + ELEMENTWISE_PACK + "\n");
  HostRun call = run_host({"call", text, "sqrt", "[-4]"});
  EXPECT_EQ(call.status, 0);
  EXPECT_EQ(call.out, "[2i]\n");
  HostRun unknown = run_host({"list", "{00000000-0000-0000-0000-000000000000}"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "vellum-host: no pack is registered as {00000000-0000-0000-0000-000000000000}\n");

  EXPECT_EQ(UnregisterEfiFunctionPack(&guid), kVellumOk);
  EXPECT_EQ(run_host({"packs"}).out, "");
  dlclose(module);
}

// The strings pack enrols itself (as the examples' install step has it do) and leaves again.
TEST_F(CliPacks, PackRegistersItself) {
  char const* guid = "{5E11C0DE-57A1-4e6b-9C3A-517E0F2D64B8}";

  HostRun enrol = run_host({"register", STRINGS_PACK});
  EXPECT_EQ(enrol.status, 0) << enrol.err;
  EXPECT_EQ(enrol.out, std::string("registered ") + STRINGS_PACK + "\n");
  EXPECT_EQ(run_host({"packs"}).out, std::string(guid) + "  " + STRINGS_PACK + "\n");
  EXPECT_EQ(run_host({"call", guid, "upper", "\"abc\""}).out, "\"ABC\"\n");

  HostRun leave = run_host({"unregister", STRINGS_PACK});
  EXPECT_EQ(leave.status, 0) << leave.err;
  EXPECT_EQ(run_host({"packs"}).out, "");
}

// A session of the repl, piped in: calls across two packs, a listing, the faults of a user (each
// reported on its line, the session going on), an error value, and :quit ending it before the
// input does.
TEST(CliRepl, SessionAcrossPacks) {
  std::string const input =
      "sqrt([4, -9; 16, -1])\n"
      "  \n"
      ":list\n"
      "join(\"a, [b\", upper(\"c\"))\n"
      "upper(\"a, [b\")\n"
      "scale([1, 2], 2i)\n"
      "cbrt(8)\n"
      "sqrt([1, 2)\n"
      "sqrt [1]\n"
      "join(\"x\", 1)\n"
      "hypot([3], [4])\n"
      ":quit\n"
      "sqrt([1])\n";
  HostRun run = run_host({"--check-leaks", "repl", ELEMENTWISE_PACK, STRINGS_PACK}, input);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "[2, 3i;\n 4, 1i]\n"
            "sqrt(M): Mat -> Mat\nhypot(A, B): Mat, Mat -> Mat\nscale(M, z): Mat, Num -> Mat\n"
            "upper(s): Str -> Str\njoin(a, b): Any, Any -> Str\n"
            "vellum-host: malformed literal 'upper(\"c\")' at column 1: not a number, string or matrix\n"
            "\"A, [B\"\n"
            "[2i, 4i]\n"
            "vellum-host: no pack has a function cbrt\n"
            "vellum-host: malformed literal '[1, 2' at column 6: matrix without its closing ]\n"
            "vellum-host: expected a call such as f(1, [2, 3]), not 'sqrt [1]'\n"
            "error in argument 2: must be string\n"
            "[5]\n");
}

// The timing report names the function's timer, whether the call gives a value or an error.
TEST(CliTime, WritesTheReportOfTheCall) {
  struct {
    char const* literal;
    int status;
  } const calls[] = {{"[4, -9]", 0}, {"[\"a\"]", 1}};
  for (auto const& c : calls) {
    SCOPED_TRACE(c.literal);
    std::string path = ::testing::TempDir() + "vellum-host-time.txt";
    std::remove(path.c_str());
    HostRun run = run_host({"--time", path, "call", ELEMENTWISE_PACK, "sqrt", c.literal});
    EXPECT_EQ(run.status, c.status);
    std::stringstream report;
    report << std::ifstream(path).rdbuf();
    std::string text = report.str();
    EXPECT_EQ(text.rfind("Timing report:\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nsqrt: "), std::string::npos) << text;
    std::remove(path.c_str());
  }
}

}  // namespace
