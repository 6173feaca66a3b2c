// Named timers with a scripted performance counter, and their report file byte for byte.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/test_support.h"
#include "vellum/diag/timers_internal.h"
#include "vellum/platform/performance_counter.h"

namespace {

namespace fs = std::filesystem;

std::int64_t g_now = 0;
std::int64_t scripted_counter() { return g_now; }

class Timers : public ::testing::Test {
 protected:
  void SetUp() override {
    vellum::platform::set_counter_source(scripted_counter);
    path_ = fs::temp_directory_path() / ("vellum-timing-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                          "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    vellum::diag::reset_timers();
    vellum::platform::set_counter_source(nullptr);
    fs::remove_all(path_);
  }
  // Runs a script from a freshly loaded state and returns the report it ends with. "+name"
  // starts a timer, "-name" stops it, a number moves the counter on by that many milliseconds,
  // "report" writes a report that is thrown away, "unopenable" one to a folder, which cannot be
  // opened as a file.
  std::string run(std::string const& script) {
    g_now = 0;
    vellum::diag::reset_timers();
    std::int64_t const ticks_per_ms = vellum::platform::counter_frequency() / 1000;
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      if (step[0] == '+') {
        start(step.c_str() + 1);
      } else if (step[0] == '-') {
        stop(step.c_str() + 1);
      } else if (step == "report") {
        report(path_.string().c_str());
      } else if (step == "unopenable") {
        fs::remove(path_);
        fs::create_directories(path_);
        report(path_.string().c_str());
        fs::remove(path_);
      } else {
        g_now += static_cast<std::int64_t>(std::stod(step) * static_cast<double>(ticks_per_ms));
      }
    }
    report(path_.string().c_str());
    std::ifstream in(path_);  // text mode: the platform's line ends read as "\n"
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  fs::path path_;
};

TEST_F(Timers, ReportsOfScriptedRuns) {
  struct Row {
    char const* what;
    char const* script;
    char const* report;  // after "Timing report:\n\n"
  } const rows[] = {
      {"milliseconds and share of the overall time", "+outer 500 +solve 1500 -solve -outer",
       "outer: 2000  ( 100% )\nsolve: 1500  ( 75% )\n"},
      // The shares are of truncated milliseconds: 60 and 2 of 62.
      {"a nested start counts one interval, from outermost start to stop; milliseconds truncated",
       "+a 10 +a 20 -a 30 -a 1000 +b 2.999 -b", "a: 60  ( 96.7742% )\nb: 2  ( 3.22581% )\n"},
      {"overlapping timers each show their full time", "+x 100 +y 100 -x 100 -y",
       "x: 200  ( 66.6667% )\ny: 200  ( 66.6667% )\n"},
      {"names ordered by unsigned bytes", "+abc 1 -abc +a 1 -a +\xE9t\xE9 1 -\xE9t\xE9 +B 1 -B +ab 1 -ab +Z 1 -Z",
       "B: 1  ( 16.6667% )\nZ: 1  ( 16.6667% )\na: 1  ( 16.6667% )\nab: 1  ( 16.6667% )\nabc: 1  ( 16.6667% )\n"
       "\xE9t\xE9: 1  ( 16.6667% )\n"},
      // An unmatched stop takes the timer (and the overall one) to -1: the next start opens no
      // interval. A timer never stopped has no completed interval.
      {"unmatched stops", "-late 50 +late 50 -late +late +late 25 -late +open 5",
       "late: 25  ( 100% )\nopen: 0  ( 0% )\n"},
      // 0 * 100 / 0 is the processor's default NaN, whose sign bit is set.
      {"no overall time", "+a -a -c +b 100 -b", "a: 0  ( -nan% )\nb: 100  ( inf% )\nc: 0  ( -nan% )\n"},
      {"a report releases the timers; the overall time outlives it", "+first 100 -first report +second 300 -second",
       "second: 300  ( 75% )\n"},
      {"an unopenable report file gets nothing, and the timers are released", "+lost 1 -lost unopenable", ""},
  };
  for (Row const& row : rows) EXPECT_EQ(run(row.script), std::string("Timing report:\n\n") + row.report) << row.what;
}

}  // namespace
