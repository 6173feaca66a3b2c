#include "host/tool/command_line.h"

#include <cctype>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <utility>

#include <vellum/diag/timers.h>
#include <vellum/values/error.h>

#include "host/library/host_allocator.h"
#include "host/library/literal.h"
#include "host/library/printer.h"
#include "host/tool/isolation.h"

namespace vellum::host {

namespace {

std::string_view trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// Stops the function's timer however the call ends.
class TimedInterval {
 public:
  TimedInterval(char const* name, bool timed) : name_(timed ? name : nullptr) {
    if (name_) start(name_);
  }
  ~TimedInterval() {
    if (name_) stop(name_);
  }
  TimedInterval(TimedInterval const&) = delete;
  TimedInterval& operator=(TimedInterval const&) = delete;

 private:
  char const* name_;
};

int call_and_print(VellumPackEntry const& entry, std::vector<std::string> const& literals, CallOptions const& options,
                   bool timed) {
  HostAllocator host;
  // A malformed literal leaves the cells read so far behind; that is no leak of the pack's.
  host.set_report_on_destroy(false);
  std::vector<Anyval*> args;  // the call keeps them
  for (std::string const& literal : literals) args.push_back(parse_literal(host.context()->allocator, literal));
  Anyval* result = nullptr;
  {
    TimedInterval interval(entry.name, timed);
    try {
      result = call(host, entry, args);
    } catch (HostError const&) {
      throw;
    } catch (PackFault const&) {
      throw;
    } catch (std::exception const& e) {
      throw PackFault(std::string("threw an exception: ") + e.what());
    } catch (...) {
      throw PackFault("threw an exception the host does not know");
    }
  }
  std::printf("%s\n", format_display(result).c_str());
  std::fflush(stdout);
  int status = result->tag == ValueTag::Error ? kStatusErrorValue : kStatusValue;
  // An error text's "N." prefix names argument N; past the last argument it is the pack's slip.
  if (auto const* error = static_cast<aError const*>(result);
      status == kStatusErrorValue && error->position > static_cast<int>(literals.size()))
    std::fprintf(stderr, "vellum-host: note: the error names argument %d of %s, which takes %zu\n", error->position,
                 entry.name, literals.size());
  if (options.check_leaks) {
    std::string leaks = host.leak_report();
    if (!leaks.empty()) {
      std::fprintf(stderr, "vellum-host: %s left records or arrays behind:\n%s", entry.name, leaks.c_str());
      if (leaks.back() != '\n') std::fputc('\n', stderr);
      status = kStatusLeaks;
    }
  }
  host.release_all();
  return status;
}

}  // namespace

TimingReport::TimingReport(std::string path) : path_(std::move(path)) {
  if (!path_.empty() && !std::ofstream(path_, std::ios::app))
    throw HostError("cannot write the timing report to " + path_);
}

TimingReport::~TimingReport() {
  if (!path_.empty()) report(path_.c_str());
}

int call_line(Pack const& pack, VellumPackEntry const& entry, std::vector<std::string> const& literals,
              CallOptions const& options, std::FILE* messages) {
  std::string const who = std::string(entry.name) + " in " + std::filesystem::path(pack.path()).filename().string();
  bool const isolate = options.isolate || options.timeout_seconds > 0;
  bool const timed = !options.time_path.empty();
  auto guarded = [&] {
    try {
      return call_and_print(entry, literals, options, timed && !isolate);
    } catch (HostError const& e) {
      std::fprintf(messages, "vellum-host: %s\n", e.what());
      return kStatusBadInput;
    } catch (PackFault const& e) {
      std::fprintf(messages, "vellum-host: %s %s\n", who.c_str(), e.what());
      return kStatusPackFault;
    }
  };
  if (!isolate) return guarded();
  // The timer's interval takes in the process around the call: the child's timers end with it.
  TimedInterval interval(entry.name, timed);
  IsolatedEnd const end = run_isolated(guarded, options.timeout_seconds);
  if (end.fault.empty()) return end.status;
  std::fprintf(messages, "vellum-host: %s %s\n", who.c_str(), end.fault.c_str());
  return kStatusPackFault;
}

CallLine split_call_line(std::string_view line) {
  line = trim(line);
  std::size_t open = line.find('(');
  CallLine call{std::string(trim(line.substr(0, open))), {}};
  bool named = !call.function.empty();
  for (char c : call.function) named = named && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
  if (!named) throw HostError("expected a call such as f(1, [2, 3]), not '" + std::string(line) + "'");
  if (open == std::string_view::npos) return call;

  // The arguments end at the first ')' outside brackets, parentheses and strings.
  int depth = 0;
  bool in_string = false;
  std::size_t start = open + 1, close = std::string_view::npos;
  for (std::size_t k = start; k < line.size() && close == std::string_view::npos; ++k) {
    char c = line[k];
    if (in_string) {
      if (c == '\\')
        ++k;
      else if (c == '"')
        in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '(') {
      ++depth;
    } else if ((c == ']' || c == ')') && depth > 0) {
      --depth;
    } else if (depth == 0 && (c == ',' || c == ')')) {
      call.args.emplace_back(trim(line.substr(start, k - start)));
      start = k + 1;
      if (c == ')') close = k;
    }
  }
  if (close == std::string_view::npos) {
    if (line.back() != ')') throw HostError("the call '" + std::string(line) + "' lacks its closing ')'");
    // An unbalanced literal is left whole for the literal parser to name its fault.
    call.args = {std::string(trim(line.substr(open + 1, line.size() - open - 2)))};
    return call;
  }
  if (close + 1 != line.size())
    throw HostError("the call '" + std::string(line) + "' has text after its closing ')': '" +
                    std::string(trim(line.substr(close + 1))) + "'");
  if (call.args.size() == 1 && call.args[0].empty()) call.args.clear();  // f()
  return call;
}

}  // namespace vellum::host
