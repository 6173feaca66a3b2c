#include "host/fault_injection.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "vellum/library/allocation_hooks.h"

namespace vellum::faults {

namespace {
std::atomic<bool> g_counting{false};
std::atomic<std::size_t> g_fail_at{0};  // 0: never
std::atomic<bool> g_persistent{false};
std::atomic<std::size_t> g_attempts{0};
std::atomic<std::size_t> g_failures{0};
std::atomic<std::int64_t> g_live{0};
Event g_journal[kJournalSize];
std::atomic<std::size_t> g_events{0};

void note(bool allocated, void const* block, std::size_t bytes = 0) noexcept {
  if (!g_counting.load(std::memory_order_relaxed)) return;
  std::size_t k = g_events.fetch_add(1, std::memory_order_relaxed);
  if (k < kJournalSize) g_journal[k] = {allocated, block, bytes};
}

// True when this allocation is to fail.
bool take_turn() noexcept {
  if (!g_counting.load(std::memory_order_relaxed)) return false;
  std::size_t n = g_attempts.fetch_add(1, std::memory_order_relaxed) + 1;
  std::size_t at = g_fail_at.load(std::memory_order_relaxed);
  bool fail = at != 0 && (n == at || (n > at && g_persistent.load(std::memory_order_relaxed)));
  if (fail) g_failures.fetch_add(1, std::memory_order_relaxed);
  return fail;
}

// Aligned blocks keep the address malloc returned just before the aligned one.
void* allocate(std::size_t bytes, std::size_t alignment) noexcept {
  if (take_turn()) return nullptr;
  std::size_t const asked = bytes;
  if (bytes == 0) bytes = 1;
  void* block = nullptr;
  if (alignment <= alignof(std::max_align_t)) {
    block = std::malloc(bytes);
  } else {
    void* raw = std::malloc(bytes + alignment + sizeof(void*));
    if (raw) {
      auto address = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
      address = (address + alignment - 1) & ~(static_cast<std::uintptr_t>(alignment) - 1);
      block = reinterpret_cast<void*>(address);
      static_cast<void**>(block)[-1] = raw;
    }
  }
  if (block) {
    g_live.fetch_add(1, std::memory_order_relaxed);
    note(true, block, asked);
  }
  return block;
}

void release(void* block, std::size_t alignment) noexcept {
  if (!block) return;
  g_live.fetch_sub(1, std::memory_order_relaxed);
  note(false, block);
  std::free(alignment <= alignof(std::max_align_t) ? block : static_cast<void**>(block)[-1]);
}

void* allocate_or_throw(std::size_t bytes, std::size_t alignment) {
  void* block = allocate(bytes, alignment);
  if (!block) throw std::bad_alloc();
  return block;
}
}  // namespace

void arm(std::size_t nth, Mode mode) noexcept {
  g_counting = false;
  g_attempts = 0;
  g_failures = 0;
  g_events = 0;
  g_fail_at = nth;
  g_persistent = mode == Mode::Persistent;
  g_counting = true;
}

void count_only() noexcept { arm(0); }

void disarm() noexcept {
  g_counting = false;
  g_fail_at = 0;
}

std::size_t allocations_since_arm() noexcept { return g_attempts; }
std::size_t failures_since_arm() noexcept { return g_failures; }
std::int64_t live_blocks() noexcept { return g_live; }
std::span<Event const> journal() noexcept { return {g_journal, std::min<std::size_t>(g_events, kJournalSize)}; }

}  // namespace vellum::faults

#if defined(_WIN32)
// vellum.dll finds these in the program and allocates through them (vellum/library/
// allocation_hooks.h): the DLL's blocks are counted, failed and released here like the program's.
extern "C" __declspec(dllexport) VellumAllocationHooks const* vellum_allocation_hooks() {
  static constexpr VellumAllocationHooks hooks{vellum::faults::allocate, vellum::faults::release};
  return &hooks;
}
#endif

VELLUM_DEFINE_GLOBAL_NEW_DELETE(vellum::faults::allocate, vellum::faults::allocate_or_throw, vellum::faults::release)
