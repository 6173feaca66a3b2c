// A standard allocator over malloc for the host's own bookkeeping, so that operator new counts
// (fault_injection.h) see only the data arrays of values, never the host's maps and logs.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace vellum::host {

template <class T>
struct UntrackedAllocator {
  using value_type = T;
  UntrackedAllocator() noexcept = default;
  template <class U>
  UntrackedAllocator(UntrackedAllocator<U> const&) noexcept {}

  T* allocate(std::size_t count) {
    if (void* block = std::malloc(count * sizeof(T))) return static_cast<T*>(block);
    throw std::bad_alloc();
  }
  void deallocate(T* block, std::size_t) noexcept { std::free(block); }

  template <class U>
  bool operator==(UntrackedAllocator<U> const&) const noexcept {
    return true;
  }
};

}  // namespace vellum::host
