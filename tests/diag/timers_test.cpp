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

// Runs a script from a freshly loaded state and returns the report it ends with. "+name" starts
// a timer, "-name" stops it, a number moves the counter on by that many milliseconds ("3~": one
// tick less), "report" writes a report that is thrown away, "unopenable" one to a folder.
std::string run(std::string const& script) {
  fs::path const path = fs::temp_directory_path() /
                        ("vellum-timing-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()));
  vellum::platform::set_counter_source([] { return g_now; });
  start("left over");  // released by the reset
  vellum::diag::reset_timers();
  Timer const& idle = vellum::diag::overall_timer();  // every count zero
  EXPECT_EQ(idle.depth | idle.startTicks | idle.stopTicks | idle.lastTicks | idle.totalTicks, 0);
  g_now = 1;
  std::istringstream steps(script);
  for (std::string step; steps >> step;) {
    if (step[0] == '+' || step[0] == '-') {
      (step[0] == '+' ? start : stop)(step.c_str() + 1);
    } else if (step == "report" || step == "unopenable") {
      if (step == "unopenable") fs::create_directories(path);
      report(path.string().c_str());
      fs::remove_all(path);
    } else {
      double ticks_per_ms = static_cast<double>(vellum::platform::counter_frequency() / 1000);
      g_now += static_cast<std::int64_t>(std::stod(step) * ticks_per_ms) - (step.back() == '~');
    }
  }
  report(path.string().c_str());
  std::stringstream text;
  text << std::ifstream(path).rdbuf();  // text mode: the platform's line ends read as "\n"
  fs::remove_all(path);
  vellum::platform::set_counter_source(nullptr);
  return text.str();
}

TEST(Timers, ReportsOfScriptedRuns) {
  std::pair<char const*, char const*> const rows[] = {  // a script, then its report after "Timing report:\n\n"
      {"+outer 500 +solve 1500 -solve -outer", "outer: 2000  ( 100% )\nsolve: 1500  ( 75% )\n"},
      // A nested start counts one interval; shares are of truncated milliseconds: 60 and 2 of 62.
      {"+a 10 +a 20 -a 30 -a 1000 +b 3~ -b", "a: 60  ( 96.7742% )\nb: 2  ( 3.22581% )\n"},
      {"+x 100 +y 100 -x 100 -y", "x: 200  ( 66.6667% )\ny: 200  ( 66.6667% )\n"},  // each its full time
      {"+ab 1 -ab +a 1 -a +\xE9t\xE9 1 -\xE9t\xE9 +B 1 -B",  // names in the order of their unsigned bytes
       "B: 1  ( 25% )\na: 1  ( 25% )\nab: 1  ( 25% )\n\xE9t\xE9: 1  ( 25% )\n"},
      // An unmatched stop takes the timer (and the overall one) to -1, so the next start opens none.
      {"-late 50 +late 50 -late +late +late 25 -late +open 5", "late: 25  ( 100% )\nopen: 0  ( 0% )\n"},
      // 0 * 100 / 0 is the processor's default NaN, whose sign bit is set.
      {"+a -a -c +b 100 -b", "a: 0  ( -nan% )\nb: 100  ( inf% )\nc: 0  ( -nan% )\n"},
      // A report releases the timers (also when its file cannot be opened); the overall time stays.
      {"+first 100 -first report +second 300 -second", "second: 300  ( 75% )\n"},
      {"+lost 1 -lost unopenable", ""},
  };
  for (auto [script, report] : rows) EXPECT_EQ(run(script), std::string("Timing report:\n\n") + report) << script;
}

}  // namespace
