// Export, calling-convention and layout macros shared by every public header.
#pragma once

#include <cstddef>
#include <cstdint>

// VELLUM_API marks what the shared library exports; everything else is hidden. Programs see
// plain declarations on Windows too: the MinGW linker takes functions and data from the DLL's
// import library without dllimport, so one compiled host or pack links the DLL or the static
// library (VELLUM_STATIC) alike.
#if defined(VELLUM_STATIC) || (defined(_WIN32) && !defined(VELLUM_BUILDING_LIBRARY))
#  define VELLUM_API
#elif defined(_WIN32)
#  define VELLUM_API __declspec(dllexport)
#else
#  define VELLUM_API __attribute__((visibility("default")))
#endif

// The host's allocator is a COM interface: __stdcall on 32-bit Windows, the platform's
// default convention everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
#  define VELLUM_COM __stdcall
#else
#  define VELLUM_COM
#endif

// The records are shared byte for byte with the host in the 32-bit builds (ILP32); under LP64
// their pointer fields widen and nothing else changes.
#if UINTPTR_MAX == 0xFFFFFFFFu
#  define VELLUM_ILP32 1
#else
#  define VELLUM_ILP32 0
#endif

// Checks a field offset of a record against the host's layout in the ILP32 builds. The records
// derive from Anyval, which makes them formally non-standard-layout; GCC and Clang lay them
// out base-first all the same, so the offsetof warning is silenced for the check only.
#if VELLUM_ILP32
#  define VELLUM_LAYOUT(type, field, offset)                                        \
    _Pragma("GCC diagnostic push")                                                  \
    _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"")                       \
    static_assert(offsetof(type, field) == (offset), #type "::" #field " offset"); \
    _Pragma("GCC diagnostic pop")
#  define VELLUM_LAYOUT_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), #type " size")
#else
#  define VELLUM_LAYOUT(type, field, offset)
#  define VELLUM_LAYOUT_SIZE(type, bytes)
#endif
