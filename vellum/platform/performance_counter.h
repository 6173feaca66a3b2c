// The high-resolution performance counter: its frequency in ticks per second and its current
// value. Where the system has none of its own, a monotonic clock counts nanoseconds.
#pragma once

#include <cstdint>

namespace vellum::platform {

std::int64_t counter_frequency();
std::int64_t counter_value();

// Replaces the counter's current value by a function of the caller's (null: the system's), so
// that tests can script the ticks that timers read.
using CounterSource = std::int64_t (*)();
void set_counter_source(CounterSource source);

}  // namespace vellum::platform
