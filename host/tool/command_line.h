// What `vellum-host call` and the lines of `vellum-host repl` share: one call of a pack function
// with arguments written as literals, its result printed as the host shows it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "host/library/pack.h"

namespace vellum::host {

// Exit statuses of a call: the value, an error value, bad input (one line of text), records or
// arrays left behind (with check_leaks), and a pack that broke the protocol or crashed.
constexpr int kStatusValue = 0;
constexpr int kStatusErrorValue = 1;
constexpr int kStatusBadInput = 2;
constexpr int kStatusLeaks = 3;
constexpr int kStatusPackFault = 4;

struct CallOptions {
  bool check_leaks = false;  // report records and arrays left behind; status 3 when there are any
  std::string time_path;     // when set, the calls are timed and the timing report written there
  bool isolate = false;      // each call in a process of its own, so that a crash is reported
  int timeout_seconds = 0;   // when set, a call that runs longer is stopped (in a process of its own)
};

// The library's named timers over the calls, one timer per function, and their report written
// to the file when this ends. An unwritable file is refused up front (HostError) rather than
// found out after the calls.
class TimingReport {
 public:
  explicit TimingReport(std::string path);
  ~TimingReport();
  TimingReport(TimingReport const&) = delete;
  TimingReport& operator=(TimingReport const&) = delete;

 private:
  std::string path_;
};

// Parses the literals, calls the function, prints the result on stdout and returns the status.
// Bad input and faults of the pack are printed as "vellum-host: ..." lines on `messages`; a fault
// names the function and the pack ("sqrt in elementwise.so returned no value").
int call_line(Pack const& pack, VellumPackEntry const& entry, std::vector<std::string> const& literals,
              CallOptions const& options, std::FILE* messages);

// A repl line "name(arg, ...)" or "name": the function's name and the argument literals, split at
// the commas outside brackets and strings. HostError when the line has no such shape.
struct CallLine {
  std::string function;
  std::vector<std::string> args;
};
CallLine split_call_line(std::string_view line);

}  // namespace vellum::host
