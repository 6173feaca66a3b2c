#include "host/testing/fault_injection.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

#if defined(_WIN32)
// A pack's own blocks come from its runtime's malloc and may be released here: blocks stay plain.
// Aligned blocks keep the address malloc returned just before the aligned one.
void* place(std::size_t bytes, std::size_t alignment) noexcept {
  if (bytes == 0) bytes = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(bytes);
  void* raw = std::malloc(bytes + alignment + sizeof(void*));
  if (!raw) return nullptr;
  auto address = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
  address = (address + alignment - 1) & ~(static_cast<std::uintptr_t>(alignment) - 1);
  static_cast<void**>(reinterpret_cast<void*>(address))[-1] = raw;
  return reinterpret_cast<void*>(address);
}

void unplace(void* block, std::size_t alignment) noexcept {
  std::free(alignment <= alignof(std::max_align_t) ? block : static_cast<void**>(block)[-1]);
}
#else
// Every block of the program lies between a header (where malloc's block starts, the size
// asked) and a fence of known bytes that is checked when the block comes back: a write past
// the end of any block stops the test program there instead of going unseen.
struct Header {
  void* raw;
  std::size_t bytes;
};
constexpr std::size_t kFenceBytes = 16;
constexpr unsigned char kFenceByte = 0xFD;

void* place(std::size_t bytes, std::size_t alignment) noexcept {
  alignment = std::max(alignment, alignof(std::max_align_t));
  void* raw = std::malloc(sizeof(Header) + alignment - 1 + bytes + kFenceBytes);
  if (!raw) return nullptr;
  auto address = reinterpret_cast<std::uintptr_t>(raw) + sizeof(Header);
  auto* block = reinterpret_cast<unsigned char*>((address + alignment - 1) & ~(alignment - 1));
  reinterpret_cast<Header*>(block)[-1] = {raw, bytes};
  std::memset(block + bytes, kFenceByte, kFenceBytes);
  return block;
}

void unplace(void* block, std::size_t) noexcept {
  Header const header = static_cast<Header*>(block)[-1];
  unsigned char const* fence = static_cast<unsigned char*>(block) + header.bytes;
  if (std::any_of(fence, fence + kFenceBytes, [](unsigned char b) { return b != kFenceByte; })) {
    std::fprintf(stderr, "a block of %zu bytes was written past its end\n", header.bytes);
    std::abort();
  }
  std::free(header.raw);
}
#endif

void* allocate(std::size_t bytes, std::size_t alignment) noexcept {
  if (take_turn()) return nullptr;
  void* block = place(bytes, alignment);
  if (block) {
    g_live.fetch_add(1, std::memory_order_relaxed);
    note(true, block, bytes);
  }
  return block;
}

void release(void* block, std::size_t alignment) noexcept {
  if (!block) return;
  g_live.fetch_sub(1, std::memory_order_relaxed);
  note(false, block);
  unplace(block, alignment);
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
