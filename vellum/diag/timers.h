// Named timers. Bracket code with start(name) and stop(name); report(path) writes every timer's
// accumulated milliseconds with its share of the overall measured time, then releases the
// timers. Timers nest: a timer started again while it runs counts one interval, from its
// outermost start to its matching outermost stop. The overall timer runs whenever any named
// timer does and keeps its total across reports. For use from one thread at a time.
#pragma once

#include <vellum/library/api.h>

// One timer; every count is in ticks of the performance counter.
struct Timer {
  std::int32_t depth;        // starts not yet matched by stops
  std::int64_t startTicks;   // read at the outermost start
  std::int64_t stopTicks;    // read at the outermost stop
  std::int64_t lastTicks;    // the last completed outermost interval
  std::int64_t totalTicks;   // all completed outermost intervals
  std::int64_t ticksPerMs;   // counter frequency / 1000, truncated
};

VELLUM_API void start(char const* name);
VELLUM_API void stop(char const* name);
// "Timing report:", an empty line, then "name: milliseconds  ( percent% )" per timer in the
// order of the names' bytes. A file that cannot be opened gets nothing; the timers are released
// all the same.
VELLUM_API void report(char const* path);
