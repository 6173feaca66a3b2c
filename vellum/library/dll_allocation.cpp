// operator new and delete of vellum.dll (the DLL alone: the static library and the ELF builds
// use the program's). A Windows program's replacement operator new does not reach into a DLL,
// so without this the test programs could neither count nor fail the library's allocations.
//
// Either way every block ends in the one C runtime heap that the DLL, the packs and the host
// share (msvcrt): with hooks, the program's operator new and the DLL's both allocate through the
// program's functions; without them, plain blocks are malloc's and aligned ones
// _aligned_malloc's, as libstdc++ makes them in every other module. So a data array the library
// makes and the host deletes, or the other way round, is released by the heap that made it.
#include <windows.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "vellum/library/allocation_hooks.h"

namespace {

constexpr std::size_t kPlain = 0;  // what the plain forms pass as the alignment

void* heap_allocate(std::size_t bytes, std::size_t alignment) noexcept {
  if (bytes == 0) bytes = 1;
  return alignment == kPlain ? std::malloc(bytes) : _aligned_malloc(bytes, alignment);
}

void heap_release(void* block, std::size_t alignment) noexcept {
  if (alignment == kPlain)
    std::free(block);
  else
    _aligned_free(block);
}

constexpr VellumAllocationHooks kHeap{heap_allocate, heap_release};

// Looked up at the first allocation rather than in DllMain: the runtime constructs the DLL's
// static objects before it calls DllMain, and a block one of them allocated before the lookup
// and released after it would reach the wrong release function.
VellumAllocationHooks const& hooks() noexcept {
  static std::atomic<VellumAllocationHooks const*> found{nullptr};
  VellumAllocationHooks const* h = found.load(std::memory_order_acquire);
  if (!h) {
    // The same answer on every thread, so a race only repeats the lookup.
    auto lookup = reinterpret_cast<VellumAllocationHooksFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), VELLUM_ALLOCATION_HOOKS_SYMBOL)));
    h = lookup ? lookup() : nullptr;
    if (!h) h = &kHeap;
    found.store(h, std::memory_order_release);
  }
  return *h;
}

void* allocate(std::size_t bytes, std::size_t alignment) noexcept { return hooks().allocate(bytes, alignment); }

void* allocate_or_throw(std::size_t bytes, std::size_t alignment) {
  void* block = allocate(bytes, alignment);
  if (!block) throw std::bad_alloc();
  return block;
}

void release(void* block, std::size_t alignment) noexcept {
  if (block) hooks().release(block, alignment);
}

}  // namespace

VELLUM_DEFINE_GLOBAL_NEW_DELETE(allocate, allocate_or_throw, release)
