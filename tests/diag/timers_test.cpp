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
    g_now = 0;
    vellum::diag::reset_timers();
    path_ = fs::temp_directory_path() / ("vellum-timing-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                          "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    vellum::diag::reset_timers();
    vellum::platform::set_counter_source(nullptr);
    fs::remove(path_);
  }
  // Moves the counter on by milliseconds (ticksPerMs ticks each).
  void advance(double ms) { g_now += static_cast<std::int64_t>(ms * static_cast<double>(ticks_per_ms())); }
  std::int64_t ticks_per_ms() const { return vellum::platform::counter_frequency() / 1000; }
  std::string write_report() {
    report(path_.string().c_str());
    std::ifstream in(path_);  // text mode: the platform's line ends read as "\n"
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  fs::path path_;
};

TEST_F(Timers, ReportShowsMillisecondsAndShareOfTheOverallTime) {
  start("outer");
  advance(500);
  start("solve");
  advance(1500);
  stop("solve");
  stop("outer");
  EXPECT_EQ(write_report(), "Timing report:\n\nouter: 2000  ( 100% )\nsolve: 1500  ( 75% )\n");
  EXPECT_EQ(write_report(), "Timing report:\n\n") << "a report releases the timers";
}

TEST_F(Timers, NestedStartsCountOneIntervalFromOutermostStartToStop) {
  start("a");
  advance(10);
  start("a");
  advance(20);
  stop("a");
  advance(30);
  stop("a");
  advance(1000);  // stopped: not counted
  start("b");
  advance(2.999);  // truncated to 2 ms
  stop("b");
  EXPECT_EQ(vellum::diag::overall_timer().totalTicks, static_cast<std::int64_t>(60 * ticks_per_ms() + 2.999 * ticks_per_ms()));
  std::string text = write_report();
  EXPECT_NE(text.find("a: 60  ( "), std::string::npos) << text;
  EXPECT_NE(text.find("b: 2  ( "), std::string::npos) << text;
}

TEST_F(Timers, OverlappingTimersEachShowTheirFullTime) {
  start("x");
  advance(100);
  start("y");
  advance(100);
  stop("x");
  advance(100);
  stop("y");
  EXPECT_EQ(write_report(), "Timing report:\n\nx: 200  ( 66.6667% )\ny: 200  ( 66.6667% )\n");
}

TEST_F(Timers, NamesAreOrderedByUnsignedBytes) {
  for (char const* name : {"abc", "a", "\xE9t\xE9", "B", "ab", "Z"}) {
    start(name);
    advance(1);
    stop(name);
  }
  std::string text = write_report();
  std::vector<std::string> names;
  std::istringstream lines(text.substr(std::string("Timing report:\n\n").size()));
  for (std::string line; std::getline(lines, line);) names.push_back(line.substr(0, line.find(':')));
  EXPECT_EQ(names, (std::vector<std::string>{"B", "Z", "a", "ab", "abc", "\xE9t\xE9"}));
}

TEST_F(Timers, UnmatchedStopsGoNegativeAndMeasureNothingUntilBalanced) {
  stop("late");  // a new timer at -1; the overall timer goes to -1 too
  advance(50);
  start("late");  // back to 0: no interval opened
  advance(50);
  stop("late");  // -1 again, nothing added
  start("late");
  start("late");  // 0, then an interval opens
  advance(25);
  stop("late");
  start("open");  // started and never stopped: only completed intervals count
  advance(5);
  std::string text = write_report();
  EXPECT_NE(text.find("late: 25  ( "), std::string::npos) << text;
  EXPECT_NE(text.find("open: 0  ( 0% )"), std::string::npos) << text;
}

TEST_F(Timers, WithNoOverallTimeThePercentagesAreSignedNotANumberOrInfinity) {
  start("a");  // an interval of no time: 0 of 0 ms
  stop("a");
  stop("c");  // the overall timer goes to -1, so that the next interval does not reach it
  start("b");
  advance(100);
  stop("b");  // 100 ms of an overall 0
  // 0 * 100 / 0 is the processor's default NaN, whose sign bit is set.
  EXPECT_EQ(write_report(), "Timing report:\n\na: 0  ( -nan% )\nb: 100  ( inf% )\nc: 0  ( -nan% )\n");
}

TEST_F(Timers, TheOverallTimeOutlivesAReport) {
  start("first");
  advance(100);
  stop("first");
  write_report();
  start("second");
  advance(300);
  stop("second");
  EXPECT_EQ(write_report(), "Timing report:\n\nsecond: 300  ( 75% )\n") << "against 400 ms since load";
}

TEST_F(Timers, AnUnopenableReportFileGetsNothingButTheTimersAreReleased) {
  start("lost");
  advance(1);
  stop("lost");
  fs::path folder = path_;
  fs::create_directories(folder);
  report(folder.string().c_str());  // a folder cannot be opened as a file
  fs::remove(folder);
  EXPECT_EQ(write_report(), "Timing report:\n\n");
}

}  // namespace
