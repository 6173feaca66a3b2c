// vellum-host as its users run it: the exact output and exit status of each command on the example
// packs, and of each kind of bad input.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "tests/support/private_registry.h"

namespace {

struct HostRun {
  int status = -1;
  std::string out = "", err = "";
  bool operator==(HostRun const&) const = default;
};
void PrintTo(HostRun const& run, std::ostream* os) {
  *os << "status " << run.status << "\n--- stdout\n" << run.out << "--- stderr\n" << run.err;
}

std::string slurp(std::string const& path) {
  std::string text(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
  std::remove(path.c_str());
  return text;
}

// Runs the host through the shell, every argument quoted; input, output and error output are files
// (merged: one file, as on a terminal).
HostRun run_host(std::vector<std::string> const& args, std::string const& input = "", bool merged = false) {
  std::string const base = ::testing::TempDir() + "vellum-host-" + std::to_string(getpid());
  std::ofstream(base + ".in", std::ios::binary) << input;
  std::string command = "'" VELLUM_HOST "'";
  for (std::string const& arg : args) {
    command += " '";
    for (char c : arg) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "'";
  }
  int status = std::system((command + " <" + base + ".in >" + base + ".out 2>" + (merged ? "&1" : base + ".err")).c_str());
  std::remove((base + ".in").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(base + ".out"), slurp(base + ".err")};
}

TEST(Cli, OutputAndStatus) {
  std::string const usage = "usage: vellum-host demo | packs | list PACK | register PACK | unregister PACK | "
                            "[CALL OPTIONS] call PACK FUNCTION ARG... | [CALL OPTIONS] repl PACK... | new NAME [DIR]\n";
  auto bad = [](std::string const& message) { return HostRun{2, "", "vellum-host: " + message}; };
  struct {
    std::vector<std::string> args;
    HostRun expected;
    bool err_is_prefix = false;  // for messages that end in the system's own words or in addresses
    bool merged = false;         // the result comes before the report that follows it
  } const cases[] = {
      {{"list", FAULTY_PACK},
       {0, "leak(): -> Str\nnothing(x): Any -> Num\nthrow_text(x): Any -> Num\nthrow_other(): -> Num\ncrash(): -> Num\n"
           "forever(): -> Num\nthrow_far(x): Any -> Num\n"}},
      {{"call", FAULTY_PACK, "throw_far", "1"},
       {1, "error in argument 2: is out of reach\n", "vellum-host: note: the error names argument 2 of throw_far, which takes 1\n"}},
      {{"--check-leaks", "call", FAULTY_PACK, "throw_text", "\"x\""}, {1, "error in argument 1: is not welcome here\n"}},
      {{"call", "--check-leaks", FAULTY_PACK, "leak"},
       {3, "\"kept\"\nvellum-host: leak left records or arrays behind:\nrecord "}, true, true},
      {{"call", FAULTY_PACK, "leak"}, {0, "\"kept\"\n"}},
      {{"--help"}, {0, usage + "call options: --check-leaks, --time FILE, --isolate, --timeout SECONDS; "
                                 "vellum-host COMMAND --help for more\n"}},
      {{"--version", "demo"}, {0, "vellum-host " VELLUM_VERSION "\n"}},
      {{"new", "--help"}, {0, "usage: vellum-host new NAME [DIR]\nwrites a pack project into DIR (else ./NAME): "
                             "NAME.cpp, NAME_test.cpp and a CMakeLists.txt that finds the installed package\n"}},
      {{"--bogus", "packs"}, bad("unknown option --bogus\n")},
      {{"call", "--", MATRIX_PACK, "transpose", "--help"}, bad("malformed literal '--help' at column 2: "), true},
      {{"demo"},
       {0, "aString::mk(\"hello, host\")                   \"hello, host\"\n"
           "aMatrix::mk(1, 2, 5)                         [0, 0, 0; 0, 0, 5]\n"
           "aMatrix::mk(1, 0, 2i)                        [0; 2i]\n"
           "2 x 2 complex matrix                         [1, 2 + 0.5i; 3 - 1i, 4]\n"
           "matrix with nested cells                     [1, [7; 8]; \"label\", 4]\n"
           "aMatrix::deep_cp(nested, compact)            [1, [7; 8]; \"label\", 4]\n"
           "mkError(context, \"2.must be string\", 0)      error in argument 2: must be string\n"
           "mkError(context, \"2.must be string\", 5)      error in argument 5: 2.must be string\n"
           "sError_OutOfMemory                           error: out of memory\n\n"
           "allocator calls: AllocError x2 AllocMatrix x5 AllocString x4 DeepCopyMatrix x1\nleaks: none\n"}},
      {{"call", ELEMENTWISE_PACK, "cbrt", "[1]"}, bad(ELEMENTWISE_PACK " has no function cbrt\n")},
      {{"call", MATRIX_PACK, "transpose", "[1]", "[2]"}, bad("transpose(M) takes 1 argument, given 2\n")},
      {{"call", MATRIX_PACK, "mmul", "[1]"}, bad("mmul(A, B) takes 2 arguments, given 1\n")},
      {{"call", ELEMENTWISE_PACK, "scale", "[1]", "[2]"}, bad("argument 2 of scale must be Num, not Mat\n")},
      {{"list", "/nonexistent/pack.so"}, bad("cannot load pack /nonexistent/pack.so: "), true},
      {{"call", FAULTY_PACK, "nothing", "1"}, {4, "", "vellum-host: nothing in faulty_pack.so returned no value\n"}},
      {{"call", FAULTY_PACK, "throw_other"},
       {4, "", "vellum-host: throw_other in faulty_pack.so threw an exception the host does not know\n"}},
      {{"--isolate", "call", FAULTY_PACK, "crash"}, {4, "", "vellum-host: crash in faulty_pack.so crashed: aborted\n"}},
      {{"--timeout", "1", "call", FAULTY_PACK, "forever"},
       {4, "", "vellum-host: forever in faulty_pack.so did not return within 1 second\n"}},
      {{"--isolate", "--check-leaks", "call", FAULTY_PACK, "throw_text", "1"}, {1, "error in argument 1: is not welcome here\n"}},
      {{"--timeout", "0", "call", FAULTY_PACK, "forever"},
       bad("--timeout takes a whole number of seconds, at least 1, not '0'\n")},
      {{"call", MATRIX_PACK, "transpose", "--timeout"}, bad("malformed literal '--timeout' at column 2: "), true},
      {{}, {2, "", usage}},
      {{"call", MATRIX_PACK}, {2, "", usage}},
      {{"--time"}, bad("--time needs a value\n")},
      {{"--time", "/nonexistent/t", "call", MATRIX_PACK, "transpose", "[1]"},
       bad("cannot write the timing report to /nonexistent/t\n")},
      {{"register", MATRIX_PACK}, bad(MATRIX_PACK " does not register itself: it has no vellum_pack_register()\n")},
      {{"new", "2fast"}, bad("a pack's name is a letter or '_' followed by letters, digits and '_', not \"2fast\"\n")},
      {{"new", "p-q"}, bad("a pack's name is a letter or '_' followed by letters, digits and '_', not \"p-q\"\n")},
      {{"new", "cli_test", CLI_TEST_SOURCE_DIR}, bad(CLI_TEST_SOURCE_DIR "/cli_test.cpp exists already; nothing was written\n")},
      {{"list", "{00000000-0000-0000-0000-000000000000}"},
       bad("no pack is registered as {00000000-0000-0000-0000-000000000000}\n")},
  };
  for (auto const& c : cases) {
    HostRun run = run_host(c.args, "", c.merged);
    EXPECT_TRUE(run.status != 2 || std::ranges::count(run.err, '\n') == 1) << "bad input: one line on stderr";
    std::string& tail = c.merged ? run.out : run.err;
    if (c.err_is_prefix) tail.resize(std::min(tail.size(), (c.merged ? c.expected.out : c.expected.err).size()));
    EXPECT_EQ(run, c.expected) << ::testing::PrintToString(c.args);
  }
}

// A literal from a file, past the system's limit on a command line, or from standard input.
TEST(Cli, ArgumentsFromFilesAndStandardInput) {
  std::string const path = ::testing::TempDir() + "vellum-host-argument-" + std::to_string(getpid());
  std::string ones = "[1";
  for (int k = 1; k < 90000; ++k) ones += ", 1";
  std::ofstream(path, std::ios::binary) << ones << "]\n";
  EXPECT_EQ(run_host({"call", MATRIX_PACK, "norm", "@" + path}), (HostRun{0, "300\n"})) << "the norm of 90000 ones";
  std::remove(path.c_str());
  EXPECT_EQ(run_host({"call", MATRIX_PACK, "mmul", "-", "[1; 2]"}, "[3, 4]"), (HostRun{0, "[11]\n"}));
  EXPECT_EQ(run_host({"call", MATRIX_PACK, "mmul", "-", "-"}, "[3]"),
            (HostRun{2, "", "vellum-host: only one argument can come from standard input\n"}));
  EXPECT_EQ(run_host({"call", MATRIX_PACK, "norm", "@" + path}),
            (HostRun{2, "", "vellum-host: cannot read the argument file " + path + "\n"}));
}

// A pack enrols itself in a store of the test's own (as when installed), is named by its GUID, leaves.
TEST(Cli, APackRegistersItselfAndIsNamedByItsGuid) {
  vellum::test::PrivateRegistryStore registry;
  std::string const guid = "{5E11C0DE-57A1-4e6b-9C3A-517E0F2D64B8}";
  EXPECT_EQ(run_host({"register", STRINGS_PACK}), (HostRun{0, "registered " STRINGS_PACK "\n"}));
  EXPECT_EQ(run_host({"packs"}), (HostRun{0, guid + "  " STRINGS_PACK "\n"}));
  EXPECT_EQ(run_host({"call", "{5e11c0de-57a1-4E6B-9c3a-517e0f2d64b8}", "upper", "\"abc\""}),
            (HostRun{0, "\"ABC\"\n"}))
      << "a GUID is a name without case";
  EXPECT_EQ(run_host({"unregister", STRINGS_PACK}), (HostRun{0, "unregistered " STRINGS_PACK "\n"}));
  EXPECT_EQ(run_host({"packs"}), (HostRun{0, ""}));
  EXPECT_EQ(run_host({"unregister", STRINGS_PACK}),
            (HostRun{2, "", "vellum-host: unregistering " STRINGS_PACK
                            " failed: it is not registered (vellum-host packs lists the packs that are)\n"}));
}

// A repl session: calls across packs, a listing, a user's faults each reported on its line, :quit.
TEST(Cli, ReplSessionAcrossPacks) {
  std::string const input =
      "sqrt([4, -9; 16, -1])\n  \n:list\njoin(\"a, [b\", upper(\"c\"))\nupper(\"a, [b\")\nscale([1, 2], 2i)\n"
      "cbrt(8)\nsqrt([1, 2)\nsqrt [1]\nsqrt([1]\nsqrt([1]) extra\njoin(\"x\",1)\nhypot([3], [4])\n:quit\nsqrt([1])\n";
  EXPECT_EQ(run_host({"--check-leaks", "repl", ELEMENTWISE_PACK, STRINGS_PACK}, input),
            (HostRun{0, "[2, 3i;\n 4, 1i]\n" ELEMENTWISE_PACK ":\n  sqrt(M): Mat -> Mat\n  hypot(A, B): Mat, Mat -> Mat\n"
                        "  scale(M, z): Mat, Num -> Mat\n" STRINGS_PACK ":\n  upper(s): Str -> Str\n"
                        "  join(a, b): Any, Any -> Str\n"
                        "vellum-host: malformed literal 'upper(\"c\")' at column 1: not a number, string or matrix\n"
                        "\"A, [B\"\n[2i, 4i]\nvellum-host: no pack has a function cbrt\n"
                        "vellum-host: malformed literal '[1, 2' at column 6: matrix without its closing ]\n"
                        "vellum-host: expected a call such as f(1, [2, 3]), not 'sqrt [1]'\n"
                        "vellum-host: the call 'sqrt([1]' lacks its closing ')'\n"
                        "vellum-host: the call 'sqrt([1]) extra' has text after its closing ')': 'extra'\n"
                        "error in argument 2: must be string\n[5]\n"}));
}

// In isolation a crash ends the line, not the session; two packs may not share a function's name.
TEST(Cli, ReplIsolatesCallsAndRefusesPacksSharingAName) {
  EXPECT_EQ(run_host({"--isolate", "repl", FAULTY_PACK, MATRIX_PACK}, "crash()\ntranspose([1, 2])\nnothing(1)\n"),
            (HostRun{0, "vellum-host: crash in faulty_pack.so crashed: aborted\n[1;\n 2]\n"
                        "vellum-host: nothing in faulty_pack.so returned no value\n"}));
  EXPECT_EQ(run_host({"repl", MATRIX_PACK, ELEMENTWISE_PACK, MATRIX_PACK}),
            (HostRun{2, "", "vellum-host: both " MATRIX_PACK " and " MATRIX_PACK
                            " have a function mmul; a repl takes packs whose functions differ in name\n"}));
}

// The timing report names the function's timer, also when the call gives an error; a repl's
// report names every function it called.
TEST(Cli, TimeWritesTheReportOfTheCalls) {
  std::string const path = ::testing::TempDir() + "vellum-host-time-" + std::to_string(getpid());
  EXPECT_EQ(run_host({"--time", path, "call", ELEMENTWISE_PACK, "sqrt", "[\"a\"]"}).status, 1);
  std::string text = slurp(path);
  EXPECT_TRUE(text.starts_with("Timing report:\n\n") && text.find("\nsqrt: ") != std::string::npos) << text;
  EXPECT_EQ(run_host({"--time", path, "repl", ELEMENTWISE_PACK}, "sqrt([1])\nscale([1], 2)\nsqrt([4])\n").status, 0);
  text = slurp(path);
  EXPECT_TRUE(text.starts_with("Timing report:\n\nscale: ") && text.find(")\nsqrt: ") != std::string::npos &&
              std::ranges::count(text, '\n') == 4)
      << text;
}

}  // namespace
