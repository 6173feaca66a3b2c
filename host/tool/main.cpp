// vellum-host: the reference host on the command line.
//
//   vellum-host demo                          builds values through the host allocator, prints them
//   vellum-host packs                         the packs registered with the host: GUID and module
//   vellum-host list PACK                     the pack's functions and their signatures in words
//   vellum-host [CALL OPTIONS] call PACK FUNCTION ARG...
//   vellum-host [CALL OPTIONS] repl PACK...   the same, line by line: f(arg, ...)
//   vellum-host register PACK | unregister PACK   the pack enrols itself with the host (or leaves)
//   vellum-host new NAME [DIR]                a pack project: source, test, CMakeLists.txt
//
// PACK is a module's path, or the GUID under which a pack is registered ("{...}"). An ARG of a call
// is a literal, or @FILE or - for a literal read from a file or from standard input.
// Call options: --check-leaks; --time FILE times the calls with the library's named timers (one
// named after each function) and writes their report to FILE; --isolate runs each call in a
// process of its own; --timeout SECONDS stops a call that runs longer (and isolates it).
//
// Options: --help (with a command: that command's own help), --version; `--` ends the options,
// and so does a call's function name: what follows it is an argument.
//
// Exit status: 0 a value; 1 the result is an error value; 2 bad input (one line on stderr);
// 3 with --check-leaks, records or arrays left neither handed back nor released; 4 the pack
// broke the protocol: it returned no value, threw something other than an error text, crashed
// or ran out of time (one line on stderr naming the function and the pack).
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <vellum/platform/registry.h>
#include <vellum/vellum.h>

#include "host/library/host_allocator.h"
#include "host/library/pack.h"
#include "host/library/printer.h"
#include "host/library/values.h"
#include "host/tool/command_line.h"
#include "host/tool/new_pack.h"
#include "host/tool/repl.h"

namespace {

int run_demo() {
  using namespace vellum::host;
  HostAllocator host;
  EfiCallContext* context = host.context();
  IvlAllocator* allocator = context->allocator;

  auto show = [&](char const* what, Anyval* value) {
    std::printf("%-44s %s\n", what, format_value(value).c_str());
    host.keep(value);
  };

  show("aString::mk(\"hello, host\")", aString::mk(allocator, "hello, host"));
  aComplex z{{ValueTag::Complex}, 0, 5.0, 0.0};
  show("aMatrix::mk(1, 2, 5)", aMatrix::mk(allocator, 1, 2, &z));
  aComplex w{{ValueTag::Complex}, 0, 0.0, 2.0};
  show("aMatrix::mk(1, 0, 2i)", aMatrix::mk(allocator, 1, 0, &w));

  aMatrix* numbers = make_matrix(allocator, {2, 2, std::vector<double>{1, 3, 2, 4}, std::vector<double>{0, -1, 0.5, 0}, 0});
  show("2 x 2 complex matrix", numbers);
  aMatrix* inner = make_matrix(allocator, {2, 1, std::vector<double>{7, 8}, std::nullopt, 0});
  aString* label = aString::mk(allocator, "label");
  aMatrix* nested = make_matrix(
      allocator, {2, 2, std::vector<double>{1, vellum::make_nested_cell(label), vellum::make_nested_cell(inner), 4},
                  std::nullopt, 0});
  host.keep(inner);
  host.keep(label);
  show("matrix with nested cells", nested);
  show("aMatrix::deep_cp(nested, compact)", aMatrix::deep_cp(allocator, nested, true));

  show("mkError(context, \"2.must be string\", 0)", mkError(context, "2.must be string", 0));
  show("mkError(context, \"2.must be string\", 5)", mkError(context, "2.must be string", 5));
  show("sError_OutOfMemory", sError_OutOfMemory);

  std::printf("\nallocator calls:");
  for (int position = 0; position < kAllocatorSlots; ++position)
    if (host.calls(position)) std::printf(" %s x%zu", HostAllocator::operation_name(position).c_str(), host.calls(position));
  std::string leaks = host.leak_report();
  std::printf("\nleaks: %s\n", leaks.empty() ? "none" : leaks.c_str());
  return leaks.empty() ? 0 : 1;
}

constexpr char kUsage[] =
    "usage: vellum-host demo | packs | list PACK | register PACK | unregister PACK | [CALL OPTIONS] call PACK "
    "FUNCTION ARG... | [CALL OPTIONS] repl PACK... | new NAME [DIR]";
constexpr char kMoreHelp[] =
    "call options: --check-leaks, --time FILE, --isolate, --timeout SECONDS; vellum-host COMMAND --help for more";

// Each command's own help (vellum-host COMMAND --help).
struct Command {
  char const* name;
  char const* usage;
  char const* help;
};
constexpr Command kCommands[] = {
    {"demo", "demo", "builds values through the host allocator and prints them"},
    {"packs", "packs", "lists the packs registered with the host: GUID and module"},
    {"list", "list PACK", "lists the pack's functions and their signatures in words"},
    {"register", "register PACK", "has the pack enrol itself with the host"},
    {"unregister", "unregister PACK", "has the pack take its enrolment back"},
    {"call", "[CALL OPTIONS] call PACK FUNCTION ARG...",
     "calls FUNCTION with the literals ARG... and prints its value; what follows FUNCTION is an ARG;\n"
     "an ARG @FILE or - is read from the file or from standard input\n"
     "  --check-leaks      records or arrays the call leaves behind are listed (exit status 3)\n"
     "  --time FILE        the call is timed; the library's timing report, in milliseconds, goes to FILE\n"
     "  --isolate          the call runs in a process of its own: a crash is reported (exit status 4)\n"
     "  --timeout SECONDS  a call that runs longer is stopped and reported (exit status 4); implies --isolate"},
    {"repl", "[CALL OPTIONS] repl PACK...",
     "reads calls such as f(1, [2, 3]) line by line; the call options of `call` apply to every line, and --time\n"
     "reports every function called when the input ends"},
    {"new", "new NAME [DIR]",
     "writes a pack project into DIR (else ./NAME): NAME.cpp, NAME_test.cpp and a CMakeLists.txt that finds the "
     "installed package"},
};

constexpr char kPacksKey[] = "Vellum\\Functions";

// --timeout's value: a whole number of seconds, at least 1.
int seconds(std::string_view text) {
  int value = 0;
  auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (fault != std::errc() || end != text.data() + text.size() || value < 1)
    throw vellum::host::HostError("--timeout takes a whole number of seconds, at least 1, not '" + std::string(text) + "'");
  return value;
}

// GUID and module path of every registered pack.
std::vector<std::pair<std::string, std::string>> registered_packs() {
  std::vector<std::pair<std::string, std::string>> packs;
  if (auto values = vellum::platform::list_values(kPacksKey))
    for (auto const& v : *values)
      if (v.type == vellum::platform::kRegistryString) {
        std::string path(v.data.begin(), v.data.end());
        path.resize(std::strlen(path.c_str()));
        packs.emplace_back(v.name, path);
      }
  return packs;
}

std::string pack_path(std::string const& pack) {
  if (pack.empty() || pack.front() != '{') return pack;
  // GUIDs are names without case, as the registry's key names are.
  auto same_letters = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  for (auto const& [guid, path] : registered_packs())
    if (std::ranges::equal(guid, pack, same_letters)) return path;
  throw vellum::host::HostError("no pack is registered as " + pack);
}

int run_packs() {
  for (auto const& [guid, path] : registered_packs()) std::printf("%s  %s\n", guid.c_str(), path.c_str());
  return 0;
}

int run_list(std::string const& name) {
  vellum::host::Pack pack(pack_path(name));
  for (VellumPackEntry const& e : pack.entries())
    std::printf("%s(%s): %s\n", e.name, e.params ? e.params : "",
                vellum::host::signature_words(e.info.signature).c_str());
  return 0;
}

// An argument as written, or read whole from a file (@FILE) or from standard input (-): a literal
// of any length, past the system's limit on a command line.
std::string argument_text(std::string const& word, bool& input_taken) {
  using vellum::host::HostError;
  if (word == "-") {
    if (input_taken) throw HostError("only one argument can come from standard input");
    input_taken = true;
    std::string text(std::istreambuf_iterator<char>(std::cin), {});
    if (std::cin.bad()) throw HostError("cannot read the argument from standard input");
    return text;
  }
  if (!word.starts_with("@")) return word;
  std::ifstream file(word.substr(1), std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(file), {});
  if (!file.is_open() || file.bad()) throw HostError("cannot read the argument file " + word.substr(1));
  return text;
}

int run_call(std::vector<std::string> const& words, vellum::host::CallOptions const& options) {
  vellum::host::Pack pack(pack_path(words.at(0)));
  VellumPackEntry const& entry = pack.find(words.at(1));
  std::vector<std::string> literals;
  bool input_taken = false;
  for (auto word = words.begin() + 2; word != words.end(); ++word) literals.push_back(argument_text(*word, input_taken));
  vellum::host::TimingReport timing(options.time_path);
  return vellum::host::call_line(pack, entry, literals, options, stderr);
}

// The registry names the module's file: the pack is loaded by its full path, so that the path
// written is one a later host can load from anywhere.
int run_registration(std::string const& path, bool enrol) {
  using namespace vellum::host;
  Pack pack(std::filesystem::absolute(path).lexically_normal().string());
  char const* symbol = enrol ? VELLUM_PACK_REGISTER_SYMBOL : VELLUM_PACK_UNREGISTER_SYMBOL;
  void* function = pack.symbol(symbol);
  if (!function) throw HostError(path + " does not register itself: it has no " + symbol + "()");
  std::int32_t status = enrol ? reinterpret_cast<VellumPackRegisterFunction>(function)(pack.handle())
                              : reinterpret_cast<VellumPackUnregisterFunction>(function)();
  auto const registered = [&] {
    return std::ranges::any_of(registered_packs(), [&](auto const& entry) { return entry.second == pack.path(); });
  };
  if (status != kVellumOk && !enrol && !registered())
    throw HostError("unregistering " + pack.path() +
                    " failed: it is not registered (vellum-host packs lists the packs that are)");
  if (status != kVellumOk)
    throw HostError(std::string(enrol ? "registering " : "unregistering ") + pack.path() + " failed");
  std::printf("%s %s\n", enrol ? "registered" : "unregistered", pack.path().c_str());
  return 0;
}

int run(int argc, char** argv) {
  vellum::host::CallOptions options;
  std::vector<std::string> words;
  bool help = false;
  // Options come before the operands they qualify: everything after `--`, and everything after a
  // call's function name, is an operand.
  bool options_end = false;
  for (int k = 1; k < argc; ++k) {
    std::string_view const arg = argv[k];
    options_end = options_end || (words.size() >= 3 && words[0] == "call");
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      words.emplace_back(arg);
    } else if (arg == "--") {
      options_end = true;
    } else if (arg == "--check-leaks") {
      options.check_leaks = true;
    } else if (arg == "--time" && k + 1 < argc) {
      options.time_path = argv[++k];
    } else if (arg == "--isolate") {
      options.isolate = true;
    } else if (arg == "--timeout" && k + 1 < argc) {
      options.timeout_seconds = seconds(argv[++k]);
    } else if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      std::printf("vellum-host %s\n", VELLUM_VERSION);
      return 0;
    } else if (arg != "--time" && arg != "--timeout") {
      throw vellum::host::HostError("unknown option " + std::string(arg));
    } else {
      throw vellum::host::HostError(std::string(arg) + " needs a value");
    }
  }
  if (help) {
    for (Command const& command : kCommands)
      if (!words.empty() && words[0] == command.name) {
        std::printf("usage: vellum-host %s\n%s\n", command.usage, command.help);
        return 0;
      }
    std::printf("%s\n%s\n", kUsage, kMoreHelp);
    return 0;
  }
  if (words.size() == 1 && words[0] == "demo") return run_demo();
  if (words.size() == 1 && words[0] == "packs") return run_packs();
  if (words.size() == 2 && words[0] == "list") return run_list(words[1]);
  if (words.size() == 2 && (words[0] == "register" || words[0] == "unregister"))
    return run_registration(words[1], words[0] == "register");
  if ((words.size() == 2 || words.size() == 3) && words[0] == "new")
    return vellum::host::run_new(words[1], words.size() == 3 ? words[2] : "");
  if (words.size() >= 3 && words[0] == "call") return run_call({words.begin() + 1, words.end()}, options);
  if (words.size() >= 2 && words[0] == "repl") {
    std::vector<std::string> paths;
    for (auto it = words.begin() + 1; it != words.end(); ++it) paths.push_back(pack_path(*it));
    return vellum::host::run_repl(paths, options);
  }
  std::fprintf(stderr, "%s\n", kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (std::exception const& e) {
    std::fprintf(stderr, "vellum-host: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "vellum-host: the call ended with an exception the host does not know\n");
  }
  return 2;
}
