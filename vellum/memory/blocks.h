// Zero-filled memory blocks and real vectors from the library's own free store (the global
// operator new, from which matrix data arrays come too), and the interruption test.
#pragma once

#include <vellum/library/api.h>

// A count of doubles and the doubles, or null when the count is 0. The caller owns the record.
struct tagREALVECTOR {
  std::int32_t count;
  double* data;
};
VELLUM_LAYOUT(tagREALVECTOR, data, 4);
VELLUM_LAYOUT_SIZE(tagREALVECTOR, 8);

// `bytes` zero bytes, or null when memory is exhausted; 0 bytes give a distinct block that must
// be released all the same.
VELLUM_API void* VellumAllocate(std::uint32_t bytes);
// Releases a block of VellumAllocate; null is ignored.
VELLUM_API void VellumFree(void* block);
// Fills `data` with `count` zero doubles (null for 0): 1, or 0 when memory is exhausted.
VELLUM_API int VlmAllocate(tagREALVECTOR* vector);
// Releases the doubles and leaves the record empty (count 0, data null).
VELLUM_API void VlmFree(tagREALVECTOR* vector);
// The library never reports an interruption: always 0.
VELLUM_API int WasESCKeyPressed();
