#include "host/tool/isolation.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <exception>
#include <thread>

#if !defined(_WIN32)
#  include <sys/wait.h>
#  include <unistd.h>

#  include <cerrno>
#  include <csignal>
#  include <cstring>
#endif

#include "host/library/pack.h"
#include "host/tool/command_line.h"

namespace vellum::host {

#if defined(_WIN32)

IsolatedEnd run_isolated(std::function<int()> const&, int) {
  throw HostError("--isolate and --timeout need a process per call, which this host makes only where fork() exists");
}

#else

IsolatedEnd run_isolated(std::function<int()> const& body, int timeout_seconds) {
  // What is buffered now would otherwise be written twice, once by each process.
  std::fflush(nullptr);
  pid_t const child = fork();
  if (child < 0) throw HostError(std::string("cannot start a process for the call: ") + std::strerror(errno));
  if (child == 0) {
    // The child ends here whatever happens: it must not go on as a second host.
    int status = kStatusBadInput;
    try {
      status = body();
    } catch (std::exception const& e) {
      std::fprintf(stderr, "vellum-host: %s\n", e.what());
    } catch (...) {
      std::fputs("vellum-host: the call's process ended with an exception the host does not know\n", stderr);
    }
    std::fflush(nullptr);
    _exit(status);
  }
  auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  int how = 0;
  for (;;) {
    pid_t const ended = waitpid(child, &how, timeout_seconds > 0 ? WNOHANG : 0);
    if (ended == child) break;
    if (ended < 0 && errno != EINTR) throw HostError(std::string("lost the call's process: ") + std::strerror(errno));
    if (timeout_seconds > 0 && std::chrono::steady_clock::now() >= deadline) {
      kill(child, SIGKILL);
      waitpid(child, &how, 0);
      return {-1, "did not return within " + std::to_string(timeout_seconds) +
                      (timeout_seconds == 1 ? " second" : " seconds")};
    }
    if (ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(how)) return {WEXITSTATUS(how), ""};
  std::string signal = WIFSIGNALED(how) ? strsignal(WTERMSIG(how)) : "an unknown end";
  if (!signal.empty()) signal[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(signal[0])));
  return {-1, "crashed: " + signal};
}

#endif

}  // namespace vellum::host
