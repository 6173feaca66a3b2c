// The constructor pattern every mk follows: ask the host's allocator for the record, then write
// the tag; the caller writes the fields. Status results are not examined.
#pragma once

#include <vellum/values/allocator.h>

namespace vellum {

template <class Record, class Made>
Record* allocate_record(IvlAllocator* allocator, std::int32_t (VELLUM_COM IvlAllocator::*operation)(Made**)) {
  Made* made = nullptr;
  (allocator->*operation)(&made);
  return reinterpret_cast<Record*>(made);
}

template <class Record, class Made>
Record* make_record(IvlAllocator* allocator, std::int32_t (VELLUM_COM IvlAllocator::*operation)(Made**),
                    ValueTag tag) {
  Record* record = allocate_record<Record>(allocator, operation);
  record->tag = tag;
  return record;
}

// The number of cells of a list, following the next links until null.
template <class Cell>
std::int32_t list_length(Cell const* cell) noexcept {
  std::int32_t length = 0;
  for (; cell; cell = cell->next) ++length;
  return length;
}

}  // namespace vellum
