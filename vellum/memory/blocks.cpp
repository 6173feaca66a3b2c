#include <vellum/memory/blocks.h>

#include <cstring>
#include <new>

void* VellumAllocate(std::uint32_t bytes) {
  void* block = ::operator new(bytes, std::nothrow);
  if (block) std::memset(block, 0, bytes);
  return block;
}

void VellumFree(void* block) { ::operator delete(block); }

int VlmAllocate(tagREALVECTOR* vector) {
  if (vector->count == 0) {
    vector->data = nullptr;
    return 1;
  }
  // The byte count wraps in 32 bits, as the host's own arithmetic would.
  std::uint32_t bytes = static_cast<std::uint32_t>(vector->count) * 8u;
  vector->data = static_cast<double*>(VellumAllocate(bytes));
  return vector->data ? 1 : 0;
}

void VlmFree(tagREALVECTOR* vector) {
  if (vector->data) VellumFree(vector->data);
  vector->count = 0;
  vector->data = nullptr;
}

int WasESCKeyPressed() { return 0; }
