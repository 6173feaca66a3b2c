#include "host/tool/repl.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <optional>

#if defined(VELLUM_HOST_EDITLINE)
#  include <editline/readline.h>
#  define VELLUM_HOST_LINE_EDITING
#elif defined(VELLUM_HOST_READLINE)
#  include <readline/history.h>
#  include <readline/readline.h>
#  define VELLUM_HOST_LINE_EDITING
#endif
#if defined(VELLUM_HOST_LINE_EDITING)
#  include <unistd.h>
#endif

namespace vellum::host {

namespace {

constexpr char kPrompt[] = "vellum> ";
constexpr char kHelp[] =
    "  name(arg, ...)   calls a function of the packs; arguments are literals: 2, 3-4i, \"text\", [1, 2; 3, 4]\n"
    "  :list            the functions of each pack and their signatures\n"
    "  :quit            leaves (so does the end of input)\n";

// Line editing and history where the host was built with a library for it and the input is a
// terminal; plain lines otherwise, so that a script piped in reads the same everywhere.
class LineReader {
 public:
  LineReader() {
#if defined(VELLUM_HOST_LINE_EDITING)
    editing_ = isatty(0) && isatty(1);
#endif
  }

  std::optional<std::string> next() {
#if defined(VELLUM_HOST_LINE_EDITING)
    if (editing_) {
      char* raw = readline(kPrompt);
      if (!raw) return std::nullopt;
      std::string line(raw);
      std::free(raw);
      if (!line.empty()) add_history(line.c_str());
      return line;
    }
#endif
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    return line;
  }

 private:
  bool editing_ = false;
};

}  // namespace

int run_repl(std::vector<std::string> const& pack_paths, CallOptions const& options) {
  std::vector<std::unique_ptr<Pack>> packs;
  for (std::string const& path : pack_paths) packs.push_back(std::make_unique<Pack>(path));
  // A function is called by its name alone, so two packs may not both have one.
  struct Function {
    Pack const* pack;
    VellumPackEntry const* entry;
  };
  std::map<std::string_view, Function> functions;
  for (auto const& pack : packs)
    for (VellumPackEntry const& e : pack->entries())
      if (auto [it, fresh] = functions.try_emplace(e.name, Function{pack.get(), &e}); !fresh)
        throw HostError(std::string("both ") + it->second.pack->path() + " and " + pack->path() + " have a function " +
                        e.name + "; a repl takes packs whose functions differ in name");
  TimingReport timing(options.time_path);

  LineReader reader;
  while (std::optional<std::string> line = reader.next()) {
    std::string_view text = *line;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (text.empty()) continue;
    if (text == ":quit" || text == ":q") break;
    if (text == ":help") {
      std::fputs(kHelp, stdout);
    } else if (text == ":list") {
      for (auto const& pack : packs) {
        std::printf("%s:\n", pack->path().c_str());
        for (VellumPackEntry const& e : pack->entries())
          std::printf("  %s(%s): %s\n", e.name, e.params ? e.params : "", signature_words(e.info.signature).c_str());
      }
    } else {
      // A bad line, a pack's fault, a crash in isolation: reported, and the loop goes on.
      try {
        CallLine call = split_call_line(text);
        auto found = functions.find(call.function);
        if (found == functions.end()) throw HostError("no pack has a function " + call.function);
        call_line(*found->second.pack, *found->second.entry, call.args, options, stdout);
      } catch (HostError const& e) {
        std::printf("vellum-host: %s\n", e.what());
      }
    }
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace vellum::host
