# vellum_add_function_pack(NAME SOURCES...): the pack module NAME.so / NAME.dll that a host loads
# with dlopen or LoadLibrary. It links the library, sees the host protocol (host/protocol.h), and
# exports only what it marks: its protocol entry (VELLUM_PACK_FUNCTIONS) and, if it has them,
# its registration functions. The same function serves this source tree and an installed package.

# The floating-point flags of the library, which every pack and every target of this project
# shares: the prescribed branch structures of the numeric operations decide the last bits of
# their results, so contraction into fused multiply-adds and value-changing optimisations stay
# off, and 32-bit x86 computes in SSE2 registers rather than in the x87's wider ones.
set(VELLUM_FLOATING_POINT_FLAGS -ffp-contract=off -fno-fast-math)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND VELLUM_FLOATING_POINT_FLAGS -msse2 -mfpmath=sse)
endif()

# The compile flags of every pack (the usage requirements of vellum::pack, and vellum.pc).
set(VELLUM_PACK_FLAGS ${VELLUM_FLOATING_POINT_FLAGS} -fvisibility=hidden -fvisibility-inlines-hidden)

function(vellum_add_function_pack name)
  if(NOT ARGN)
    message(FATAL_ERROR "vellum_add_function_pack(${name}): no sources")
  endif()
  add_library(${name} MODULE ${ARGN})
  # vellum::pack brings C++20, the floating-point flags and hidden symbols.
  target_link_libraries(${name} PRIVATE vellum::pack)
  set_target_properties(${name} PROPERTIES PREFIX "")
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
    # A DLL that needs no runtime DLLs beside it, only vellum.dll.
    target_link_options(${name} PRIVATE -static)
  elseif(WIN32)
    # A 32-bit pack shares libgcc with vellum.dll (the DLL beside it), so that texts thrown by
    # the library or the pack unwind through the pack's frames; only libstdc++ is linked in.
    target_link_options(${name} PRIVATE -static-libstdc++)
  endif()
endfunction()
