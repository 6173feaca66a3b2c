// `vellum-host repl PACK...`: the packs' functions called line by line, as a user of the host
// types them:  sqrt([4, -9])   :list   :quit
#pragma once

#include <string>
#include <vector>

#include "host/tool/command_line.h"

namespace vellum::host {

// Reads lines until :quit or the end of input. Returns 0; HostError when a pack cannot be loaded
// or two packs have a function of the same name.
int run_repl(std::vector<std::string> const& pack_paths, CallOptions const& options);

}  // namespace vellum::host
