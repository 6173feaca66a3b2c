# Flags shared by every target of every configuration. The prescribed branch structures of the
# numeric operations decide the last bits of their results, so contraction into fused
# multiply-adds and value-changing optimisations stay off everywhere.
add_compile_options(-ffp-contract=off -fno-fast-math -Wall -Wextra)

if(NOT WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 64-bit file offsets and inode numbers: without them a 32-bit readdir fails with EOVERFLOW on
  # file systems whose directory positions need 64 bits, which is what an emulated 32-bit
  # program (qemu-i386) meets on a 64-bit kernel.
  add_compile_definitions(_FILE_OFFSET_BITS=64)
endif()

if(WIN32)
  add_compile_options(-msse2 -mfpmath=sse)
  # The C runtime's conforming scanning and printing (inf, nan, hexadecimal and denormal
  # numbers, correctly rounded digits), as on every other system, in every translation unit.
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # Self-contained programs and DLL: no runtime DLLs (libstdc++, libgcc, winpthread) beside them.
    # Exceptions cross from one module to another through the system's own unwinder.
    add_link_options(-static)
  else()
    # 32-bit exceptions unwind through libgcc's table of registered frames, one table per copy
    # of libgcc: a text thrown by vellum.dll is caught in a pack only when every module shares
    # one libgcc. So libgcc (and the winpthread it needs) stay DLLs, copied beside vellum.dll,
    # and only libstdc++ is linked in.
    add_link_options(-static-libstdc++ -shared-libgcc)
    set(VELLUM_RUNTIME_DLLS)
    foreach(dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE path
                      OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "vellum: the compiler has no ${dll}")
      endif()
      get_filename_component(path "${path}" REALPATH)
      list(APPEND VELLUM_RUNTIME_DLLS ${path})
    endforeach()
  endif()
endif()

option(VELLUM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VELLUM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
