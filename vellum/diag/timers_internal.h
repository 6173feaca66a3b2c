// For tests of the timers: the overall timer, which otherwise lives from load to unload.
#pragma once

#include <vellum/diag/timers.h>

namespace vellum::diag {

Timer const& overall_timer();
// Back to the state of a freshly loaded library: no named timers, an idle overall timer.
void reset_timers();

}  // namespace vellum::diag
