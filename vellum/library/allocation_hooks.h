// Where vellum.dll takes its heap blocks from: a program that loads the DLL may export one
// function under VELLUM_ALLOCATION_HOOKS_SYMBOL returning these hooks, and then every operator
// new and delete inside the DLL goes to them. The test programs do, so that their allocation
// counting and failure injection (host/testing/fault_injection.h) see the library's own allocations as
// they do on ELF systems, where the program's operator new serves the shared library as well.
// A program without the symbol (the host application) leaves the DLL on the C runtime's heap.
#pragma once

#include <cstddef>
#include <new>

#define VELLUM_ALLOCATION_HOOKS_SYMBOL "vellum_allocation_hooks"

struct VellumAllocationHooks {
  // A block of at least bytes bytes, or null; never throws (the DLL throws std::bad_alloc
  // itself, so no exception crosses from the program into the DLL's frames). alignment is 0 for
  // the plain forms of operator new, which get malloc's alignment, else the requested one.
  void* (*allocate)(std::size_t bytes, std::size_t alignment) noexcept;
  // Gives back a block from allocate with the same alignment; null is allowed.
  void (*release)(void* block, std::size_t alignment) noexcept;
};

using VellumAllocationHooksFunction = VellumAllocationHooks const* (*)();

// Every replaceable form of the global operator new and delete, defined on three functions of
// the including file: allocate(bytes, alignment) gives a block or null, allocate_or_throw the
// same or std::bad_alloc, release(block, alignment) gives it back. The plain forms pass
// alignment 0. Used once per module: by vellum.dll, and by the test programs' failure injector.
#define VELLUM_DEFINE_GLOBAL_NEW_DELETE(allocate, allocate_or_throw, release)                                   \
  void* operator new(std::size_t bytes) { return allocate_or_throw(bytes, 0); }                                \
  void* operator new[](std::size_t bytes) { return allocate_or_throw(bytes, 0); }                              \
  void* operator new(std::size_t bytes, std::nothrow_t const&) noexcept { return allocate(bytes, 0); }         \
  void* operator new[](std::size_t bytes, std::nothrow_t const&) noexcept { return allocate(bytes, 0); }       \
  void* operator new(std::size_t bytes, std::align_val_t a) { return allocate_or_throw(bytes, std::size_t(a)); } \
  void* operator new[](std::size_t bytes, std::align_val_t a) {                                                \
    return allocate_or_throw(bytes, std::size_t(a));                                                           \
  }                                                                                                            \
  void* operator new(std::size_t bytes, std::align_val_t a, std::nothrow_t const&) noexcept {                  \
    return allocate(bytes, std::size_t(a));                                                                    \
  }                                                                                                            \
  void* operator new[](std::size_t bytes, std::align_val_t a, std::nothrow_t const&) noexcept {                \
    return allocate(bytes, std::size_t(a));                                                                    \
  }                                                                                                            \
  void operator delete(void* block) noexcept { release(block, 0); }                                            \
  void operator delete[](void* block) noexcept { release(block, 0); }                                          \
  void operator delete(void* block, std::size_t) noexcept { release(block, 0); }                               \
  void operator delete[](void* block, std::size_t) noexcept { release(block, 0); }                             \
  void operator delete(void* block, std::nothrow_t const&) noexcept { release(block, 0); }                     \
  void operator delete[](void* block, std::nothrow_t const&) noexcept { release(block, 0); }                   \
  void operator delete(void* block, std::align_val_t a) noexcept { release(block, std::size_t(a)); }           \
  void operator delete[](void* block, std::align_val_t a) noexcept { release(block, std::size_t(a)); }         \
  void operator delete(void* block, std::size_t, std::align_val_t a) noexcept {                                \
    release(block, std::size_t(a));                                                                            \
  }                                                                                                            \
  void operator delete[](void* block, std::size_t, std::align_val_t a) noexcept {                              \
    release(block, std::size_t(a));                                                                            \
  }                                                                                                            \
  void operator delete(void* block, std::align_val_t a, std::nothrow_t const&) noexcept {                      \
    release(block, std::size_t(a));                                                                            \
  }                                                                                                            \
  void operator delete[](void* block, std::align_val_t a, std::nothrow_t const&) noexcept {                    \
    release(block, std::size_t(a));                                                                            \
  }
