#include "host/tool/command_line.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <utility>

#include <vellum/diag/timers.h>

#include "host/library/host_allocator.h"
#include "host/library/literal.h"
#include "host/library/printer.h"

namespace vellum::host {

namespace {

// Stops the function's timer and writes the report however the call ends.
class TimedCall {
 public:
  // A report that cannot be written is refused before the call rather than lost after it.
  TimedCall(char const* name, std::string const& path) : name_(name), path_(path) {
    if (path_.empty()) return;
    if (!std::ofstream(path_, std::ios::app)) throw HostError("cannot write the timing report to " + path_);
    start(name_);
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
  std::string const& path_;
};

std::string_view trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

}  // namespace

int call_and_print(VellumPackEntry const& entry, std::vector<std::string> const& literals, CallOptions const& options) {
  HostAllocator host;
  // A malformed literal leaves the cells read so far behind; that is no leak of the pack's.
  host.set_report_on_destroy(false);
  std::vector<Anyval*> args;  // the call keeps them
  for (std::string const& literal : literals) args.push_back(parse_literal(host.context()->allocator, literal));
  Anyval* result = nullptr;
  {
    TimedCall timed(entry.name, options.time_path);
    result = call(host, entry, args);
  }
  std::printf("%s\n", format_display(result).c_str());
  std::fflush(stdout);
  int status = result->tag == ValueTag::Error ? 1 : 0;
  if (options.check_leaks) {
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

CallLine split_call_line(std::string_view line) {
  line = trim(line);
  std::size_t open = line.find('(');
  CallLine call{std::string(trim(line.substr(0, open))), {}};
  bool named = !call.function.empty();
  for (char c : call.function) named = named && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
  if (!named) throw HostError("expected a call such as f(1, [2, 3]), not '" + std::string(line) + "'");
  if (open == std::string_view::npos) return call;
  if (line.back() != ')') throw HostError("the call '" + std::string(line) + "' lacks its closing ')'");

  std::string_view inside = line.substr(open + 1, line.size() - open - 2);
  if (trim(inside).empty()) return call;
  int depth = 0;
  bool in_string = false;
  std::size_t start = 0;
  for (std::size_t k = 0; k <= inside.size(); ++k) {
    char c = k < inside.size() ? inside[k] : ',';
    if (in_string) {
      if (c == '\\')
        ++k;
      else if (c == '"')
        in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[') {
      ++depth;
    } else if (c == ']') {
      --depth;
    } else if (c == ',' && depth == 0) {
      call.args.emplace_back(trim(inside.substr(start, k - start)));
      start = k + 1;
    }
  }
  // An unbalanced literal is left whole for the literal parser to name its fault.
  if (in_string || depth != 0) call.args = {std::string(trim(inside))};
  return call;
}

}  // namespace vellum::host
