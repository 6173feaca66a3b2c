#include "host/library/low_memory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#  include <sanitizer/asan_interface.h>
#  define VELLUM_POISON(address, bytes) ASAN_POISON_MEMORY_REGION(address, bytes)
#  define VELLUM_UNPOISON(address, bytes) ASAN_UNPOISON_MEMORY_REGION(address, bytes)
#else
#  define VELLUM_POISON(address, bytes) ((void)(address), (void)(bytes))
#  define VELLUM_UNPOISON(address, bytes) ((void)(address), (void)(bytes))
#endif

#if UINTPTR_MAX > 0xFFFFFFFFu
#  if defined(_WIN32)
#    include <windows.h>
#  else
#    include <sys/mman.h>
#  endif
#endif

namespace vellum::host {

namespace {
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
// Every block is followed by a gap that stays poisoned under AddressSanitizer, so a write past
// the end of a record is caught.
constexpr std::size_t kRedZone = 16;
}  // namespace

std::size_t LowArena::size_class(std::size_t bytes) { return (bytes + 15) / 16 * 16 + kRedZone; }

LowArena::Chunk LowArena::map_chunk(std::size_t bytes) {
#if UINTPTR_MAX <= 0xFFFFFFFFu
  // Every address is below 4 GiB in a 32-bit process.
  void* base = std::malloc(bytes);
  if (!base) throw std::bad_alloc();
#elif defined(_WIN32)
  void* base = nullptr;
  // Ask for free places in the low 4 GiB, from 256 MiB upwards.
  for (std::uintptr_t at = 0x10000000u; !base && at + bytes <= 0x100000000u; at += 0x1000000u)
    base = VirtualAlloc(reinterpret_cast<void*>(at), bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!base) throw std::bad_alloc();
#else
  void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
  if (base == MAP_FAILED) throw std::bad_alloc();
#endif
  VELLUM_POISON(base, bytes);
  return {static_cast<unsigned char*>(base), bytes};
}

void LowArena::unmap_chunk(Chunk const& chunk) {
  VELLUM_UNPOISON(chunk.base, chunk.bytes);
#if UINTPTR_MAX <= 0xFFFFFFFFu
  std::free(chunk.base);
#elif defined(_WIN32)
  VirtualFree(chunk.base, 0, MEM_RELEASE);
#else
  munmap(chunk.base, chunk.bytes);
#endif
}

LowArena::~LowArena() {
  for (Chunk const& chunk : chunks_) unmap_chunk(chunk);
}

void* LowArena::allocate(std::size_t bytes) {
  std::size_t step = size_class(bytes);
  auto& reusable = free_lists_[step];
  void* block = nullptr;
  if (!reusable.empty()) {
    block = reusable.back();
    reusable.pop_back();
  } else {
    if (chunks_.empty() || used_in_last_ + step > chunks_.back().bytes) {
      chunks_.push_back(map_chunk(step > kChunkBytes ? step : kChunkBytes));
      used_in_last_ = 0;
    }
    block = chunks_.back().base + used_in_last_;
    used_in_last_ += step;
  }
  VELLUM_UNPOISON(block, bytes);
  return block;
}

void LowArena::free(void* block, std::size_t bytes) {
  std::size_t step = size_class(bytes);
  VELLUM_POISON(block, step - kRedZone);
  free_lists_[step].push_back(block);
}

}  // namespace vellum::host
