// Where vellum.dll takes its heap blocks from: a program that loads the DLL may export one
// function under VELLUM_ALLOCATION_HOOKS_SYMBOL returning these hooks, and then every operator
// new and delete inside the DLL goes to them. The test programs do, so that their allocation
// counting and failure injection (host/fault_injection.h) see the library's own allocations as
// they do on ELF systems, where the program's operator new serves the shared library as well.
// A program without the symbol (the host application) leaves the DLL on the C runtime's heap.
#pragma once

#include <cstddef>

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
