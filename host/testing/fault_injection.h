// Allocation-failure injection for test programs: the program's global operator new is
// replaced (link the vellum_fault_injection objects into the executable) so that every
// allocation is counted and the Nth one from a chosen moment, or the Nth and all later ones,
// fails. Throwing forms then throw std::bad_alloc; nothrow forms return null.
//
// The library's own allocations are counted and failed too: on ELF platforms they resolve to
// the program's operator new; vellum.dll allocates through hooks the program exports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vellum::faults {

enum class Mode { Once, Persistent };

// Counts allocations from now on and fails the nth of them (1-based); Persistent also fails
// every later one.
void arm(std::size_t nth, Mode mode = Mode::Once) noexcept;
// Counts from now on without failing anything.
void count_only() noexcept;
void disarm() noexcept;

std::size_t allocations_since_arm() noexcept;  // attempts, the failed ones included
std::size_t failures_since_arm() noexcept;
// Blocks allocated and not yet deleted, over the whole run of the program.
std::int64_t live_blocks() noexcept;

// The blocks allocated and released since the last arm, in order, so that a test can tell in
// which order an operation gave its blocks back. The first kJournalSize events are kept.
struct Event {
  bool allocated;  // else released
  void const* block;
  std::size_t bytes;  // of an allocation
};
inline constexpr std::size_t kJournalSize = 4096;
std::span<Event const> journal() noexcept;

// Arms for the lifetime of a scope.
class ScopedFailure {
 public:
  explicit ScopedFailure(std::size_t nth, Mode mode = Mode::Once) noexcept { arm(nth, mode); }
  ~ScopedFailure() { disarm(); }
  ScopedFailure(ScopedFailure const&) = delete;
  ScopedFailure& operator=(ScopedFailure const&) = delete;
};

}  // namespace vellum::faults
