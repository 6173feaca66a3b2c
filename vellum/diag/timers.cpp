#include <vellum/diag/timers.h>
#include <vellum/diag/timers_internal.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <ostream>
#include <string>

#include <vellum/platform/performance_counter.h>

namespace {

Timer fresh_timer() { return Timer{0, 0, 0, 0, 0, vellum::platform::counter_frequency() / 1000}; }

void open_interval(Timer& timer) {
  if (timer.depth == 0) timer.startTicks = vellum::platform::counter_value();
  ++timer.depth;
}

void close_interval(Timer& timer) {
  if (timer.depth-- == 1) {
    timer.stopTicks = vellum::platform::counter_value();
    timer.lastTicks = timer.stopTicks - timer.startTicks;
    timer.totalTicks += timer.lastTicks;
  }
}

// Milliseconds as the report counts them: truncated, low 32 bits, unsigned. A counter slower
// than 1000 ticks a second measures no milliseconds.
std::uint32_t milliseconds(Timer const& timer) {
  return timer.ticksPerMs > 0 ? static_cast<std::uint32_t>(timer.totalTicks / timer.ticksPerMs) : 0;
}

// Set up when the library is loaded and discarded when it is unloaded. std::string orders names
// by their bytes as unsigned values, a proper prefix first.
Timer g_overall = fresh_timer();
std::map<std::string, Timer> g_timers;

Timer& timer_named(char const* name) {
  auto [it, created] = g_timers.try_emplace(name);
  if (created) it->second = fresh_timer();
  return it->second;
}

// A percentage as the stream writes a double. With no overall time it is infinite or not a
// number, which is spelled with its sign as "inf" or "nan": C runtimes differ there (some drop
// a NaN's sign), and the report reads the same on every system. The sign is read from the bits:
// the compiler takes a quotient of non-negative numbers for non-negative and would fold
// std::signbit, while 0/0 gives the processor's default NaN, whose sign bit is set.
void write_percentage(std::ostream& out, double percentage) {
  if (std::isfinite(percentage)) {
    out << percentage;
    return;
  }
  if (std::bit_cast<std::uint64_t>(percentage) >> 63) out << '-';
  out << (std::isnan(percentage) ? "nan" : "inf");
}

}  // namespace

void start(char const* name) {
  open_interval(timer_named(name));
  open_interval(g_overall);
}

void stop(char const* name) {
  close_interval(g_overall);
  close_interval(timer_named(name));
}

void report(char const* path) {
  std::ofstream out(path, std::ios::out | std::ios::trunc);
  if (out) {
    out << "Timing report:\n\n";
    double overall = static_cast<double>(milliseconds(g_overall));
    for (auto const& [name, timer] : g_timers) {
      std::uint32_t ms = milliseconds(timer);
      out << name << ": " << ms << "  ( ";
      write_percentage(out, static_cast<double>(ms) * 100.0 / overall);
      out << "% )\n";
    }
  }
  g_timers.clear();
}

Timer const& vellum::diag::overall_timer() { return g_overall; }

void vellum::diag::reset_timers() {
  g_timers.clear();
  g_overall = fresh_timer();
}
