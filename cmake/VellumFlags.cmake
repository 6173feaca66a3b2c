# The flags of every target built here, as the usage requirements of one interface target,
# vellum_flags. vellum_apply_flags() (called once, at the end of the top-level CMakeLists.txt)
# links it into every target of the project's own folders.

# VELLUM_FLOATING_POINT_FLAGS and VELLUM_LINK_FLAGS: stated once, where packs get them too (the
# installed package).
include(VellumFunctionPack)

add_library(vellum_flags INTERFACE)
target_compile_options(vellum_flags INTERFACE ${VELLUM_FLOATING_POINT_FLAGS} -Wall -Wextra)

if(NOT WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 64-bit file offsets and inode numbers: without them a 32-bit readdir fails with EOVERFLOW on
  # file systems whose directory positions need 64 bits, which is what an emulated 32-bit
  # program (qemu-i386) meets on a 64-bit kernel.
  target_compile_definitions(vellum_flags INTERFACE _FILE_OFFSET_BITS=64)
endif()

if(WIN32)
  # The C runtime's conforming scanning and printing (inf, nan, hexadecimal and denormal
  # numbers, correctly rounded digits), as on every other system, in every translation unit.
  target_compile_definitions(vellum_flags INTERFACE __USE_MINGW_ANSI_STDIO=1)
  # Which runtime libraries go into each module, and which stay DLLs: VELLUM_LINK_FLAGS.
  target_link_options(vellum_flags INTERFACE ${VELLUM_LINK_FLAGS})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The runtime DLLs that stay DLLs, copied and installed beside vellum.dll.
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
  target_compile_options(vellum_flags INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all
                         -fno-omit-frame-pointer)
  target_link_options(vellum_flags INTERFACE -fsanitize=address,undefined)
endif()

# Links vellum_flags into every target that compiles or links something, in the folder given and
# the folders below it that belong to the project (not GoogleTest's, built from its own tree).
function(vellum_apply_flags directory)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "INTERFACE_LIBRARY|UTILITY")
      target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:vellum_flags>)
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${subdirectory}" NORMALIZE ours)
    if(ours)
      vellum_apply_flags(${subdirectory})
    endif()
  endforeach()
endfunction()
