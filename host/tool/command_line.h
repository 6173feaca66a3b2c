// What `vellum-host call` and the lines of `vellum-host repl` share: one call of a pack function
// with arguments written as literals, its result printed as the host shows it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/library/pack.h"

namespace vellum::host {

struct CallOptions {
  bool check_leaks = false;  // report records and arrays left behind; status 3 when there are any
  std::string time_path;     // when set, the call is timed and the timing report written there
};

// Parses the literals, calls, prints the result on stdout. Returns 0 for a value, 1 for an error
// value, 3 for a leak found with check_leaks; bad input is a HostError.
int call_and_print(VellumPackEntry const& entry, std::vector<std::string> const& literals, CallOptions const& options);

// A repl line "name(arg, ...)" or "name": the function's name and the argument literals, split at
// the commas outside brackets and strings. HostError when the line has no such shape.
struct CallLine {
  std::string function;
  std::vector<std::string> args;
};
CallLine split_call_line(std::string_view line);

}  // namespace vellum::host
