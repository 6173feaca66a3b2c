// A call in a process of its own: a crash or a call that never returns is reported, and the
// host goes on.
#pragma once

#include <functional>
#include <string>

namespace vellum::host {

// How an isolated call ended: its status, or the fault that ended it ("crashed: segmentation
// fault", "did not return within 2 seconds"), with status -1.
struct IsolatedEnd {
  int status = -1;
  std::string fault;
};

// Runs `body` in a child process and returns the status it returns. With `timeout_seconds`, a
// child that runs longer is killed. HostError where there is no process to run it in.
IsolatedEnd run_isolated(std::function<int()> const& body, int timeout_seconds);

}  // namespace vellum::host
