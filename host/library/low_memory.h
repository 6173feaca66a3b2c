// Blocks for host records that lie below 4 GiB, so that every record can stand in a nested
// matrix cell (whose lower 32 bits are the record's address) in 64-bit processes too.
#pragma once

#include <cstddef>
#include <map>
#include <vector>

#include "host/library/untracked_allocator.h"

namespace vellum::host {

class LowArena {
 public:
  LowArena() = default;
  ~LowArena();
  LowArena(LowArena const&) = delete;
  LowArena& operator=(LowArena const&) = delete;

  // A block of at least `bytes`, 16-byte aligned, below 4 GiB. Throws std::bad_alloc when none
  // can be had.
  void* allocate(std::size_t bytes);
  // Returns a block to the arena for reuse by a later block of the same size class.
  void free(void* block, std::size_t bytes);

 private:
  struct Chunk {
    unsigned char* base;
    std::size_t bytes;
  };
  static std::size_t size_class(std::size_t bytes);
  Chunk map_chunk(std::size_t bytes);
  static void unmap_chunk(Chunk const& chunk);

  // The arena's bookkeeping stays out of the operator new counts.
  template <class T>
  using Vector = std::vector<T, UntrackedAllocator<T>>;
  Vector<Chunk> chunks_;
  std::size_t used_in_last_ = 0;
  std::map<std::size_t, Vector<void*>, std::less<std::size_t>, UntrackedAllocator<std::pair<std::size_t const, Vector<void*>>>>
      free_lists_;
};

}  // namespace vellum::host
