// vellum-host: the reference host on the command line.
//
//   vellum-host demo                          builds values through the host allocator, prints them
//   vellum-host packs                         the packs registered with the host: GUID and module
//   vellum-host list PACK                     the pack's functions and their signatures in words
//   vellum-host [--check-leaks] [--time FILE] call PACK FUNCTION ARG...
//
// PACK is a module's path, or the GUID under which a pack is registered ("{...}").
// --time FILE times the call with the library's named timers (one named after the function) and
// writes their report to FILE.
//
// Exit status: 0 a value; 1 the result is an error value; 2 bad input (one line on stderr);
// 3 with --check-leaks, records or arrays left neither handed back nor released.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include <vellum/platform/registry.h>
#include <vellum/vellum.h>

#include "host/host_allocator.h"
#include "host/literal.h"
#include "host/pack.h"
#include "host/printer.h"
#include "host/values.h"

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
    "usage: vellum-host demo | packs | list PACK | [--check-leaks] [--time FILE] call PACK FUNCTION ARG...";

// Stops the function's timer and writes the report however the call ends.
class TimedCall {
 public:
  TimedCall(char const* name, std::string path) : name_(name), path_(std::move(path)) {
    if (!path_.empty()) start(name_);
  }
  ~TimedCall() {
    if (path_.empty()) return;
    stop(name_);
    report(path_.c_str());
  }
  TimedCall(TimedCall const&) = delete;
  TimedCall& operator=(TimedCall const&) = delete;

 private:
  char const* name_;
  std::string path_;
};

constexpr char kPacksKey[] = "Vellum\\Functions";

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
  for (auto const& [guid, path] : registered_packs())
    if (guid == pack) return path;
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

int run_call(std::vector<std::string> const& words, bool check_leaks, std::string const& time_path) {
  using namespace vellum::host;
  Pack pack(pack_path(words.at(0)));
  VellumPackEntry const& entry = pack.find(words.at(1));
  HostAllocator host;
  // A malformed literal leaves the cells read so far behind; that is no leak of the pack's.
  host.set_report_on_destroy(false);
  std::vector<Anyval*> args;
  for (std::size_t k = 2; k < words.size(); ++k) {
    args.push_back(parse_literal(host.context()->allocator, words[k]));
    host.keep(args.back());
  }
  Anyval* result = nullptr;
  {
    TimedCall timed(entry.name, time_path);
    result = call(host, entry, args);
  }
  std::printf("%s\n", format_display(result).c_str());
  int status = result->tag == ValueTag::Error ? 1 : 0;
  if (check_leaks) {
    std::string leaks = host.leak_report();
    if (!leaks.empty()) {
      std::fprintf(stderr, "vellum-host: %s left records or arrays behind:\n%s", entry.name, leaks.c_str());
      if (leaks.back() != '\n') std::fputc('\n', stderr);
      status = 3;
    }
  }
  host.release_all();
  return status;
}

int run(int argc, char** argv) {
  bool check_leaks = false;
  std::string time_path;
  std::vector<std::string> words;
  for (int k = 1; k < argc; ++k) {
    if (std::strcmp(argv[k], "--check-leaks") == 0)
      check_leaks = true;
    else if (std::strcmp(argv[k], "--time") == 0 && k + 1 < argc)
      time_path = argv[++k];
    else if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0) {
      std::printf("%s\n", kUsage);
      return 0;
    } else
      words.emplace_back(argv[k]);
  }
  if (words.size() == 1 && words[0] == "demo") return run_demo();
  if (words.size() == 1 && words[0] == "packs") return run_packs();
  if (words.size() == 2 && words[0] == "list") return run_list(words[1]);
  if (words.size() >= 3 && words[0] == "call") return run_call({words.begin() + 1, words.end()}, check_leaks, time_path);
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
