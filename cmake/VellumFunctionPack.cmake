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

# The link flags of every Windows module that meets the library: packs, test programs, the host.
# 64-bit modules are self-contained: no runtime DLLs (libstdc++, libgcc, winpthread) beside them,
# and exceptions cross modules through the system's own unwinder. 32-bit exceptions unwind through
# libgcc's table of registered frames, one per copy of libgcc: a text thrown by vellum.dll is
# caught in a pack only when every module shares one libgcc. So libgcc (and the winpthread it
# needs) stay DLLs, installed beside vellum.dll, and only libstdc++ is linked in.
set(VELLUM_LINK_FLAGS)
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VELLUM_LINK_FLAGS -static)
elseif(WIN32)
  set(VELLUM_LINK_FLAGS -static-libstdc++ -shared-libgcc)
endif()

function(vellum_add_function_pack name)
  if(NOT ARGN)
    message(FATAL_ERROR "vellum_add_function_pack(${name}): no sources")
  endif()
  add_library(${name} MODULE ${ARGN})
  # vellum::pack brings C++20, the floating-point flags, hidden symbols and the link flags.
  target_link_libraries(${name} PRIVATE vellum::pack)
  set_target_properties(${name} PROPERTIES PREFIX "")
endfunction()

# vellum_add_pack_test(NAME PACK... SOURCES source...): the GoogleTest program NAME that tests the
# packs PACK... (targets of vellum_add_function_pack) through the reference host's testing API
# (host/testing/pack_testing.h), registered with CTest. Each pack's path is a macro named after it:
# the pack `elementwise` is ELEMENTWISE_PACK. GoogleTest is the one find_package finds, else it is
# built from its sources (VELLUM_GTEST_SOURCE_DIR, where the distribution puts them) with this
# project's compiler. A test cross-built for Windows runs under CMAKE_CROSSCOMPILING_EMULATOR, else
# under Wine, with vellum.dll's folder on Wine's search path.
set(_vellum_package_dir "${CMAKE_CURRENT_LIST_DIR}")

# vellum_build_googletest(): GoogleTest built from its sources (VELLUM_GTEST_SOURCE_DIR, where the
# distribution puts them) with this project's compiler and flags, as GTest::gtest and
# GTest::gtest_main: the prebuilt libraries are for the machine's own 64-bit programs only.
function(vellum_build_googletest)
  set(VELLUM_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources")
  if(NOT EXISTS ${VELLUM_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "no GoogleTest found: install it, or set VELLUM_GTEST_SOURCE_DIR to its sources")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${VELLUM_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)  # GoogleTest's own build names them so since 1.11
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endfunction()
function(vellum_add_pack_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES")
  if(NOT arg_UNPARSED_ARGUMENTS OR NOT arg_SOURCES)
    message(FATAL_ERROR "vellum_add_pack_test(${name}): name the packs, then SOURCES and the test's sources")
  endif()
  if(NOT TARGET GTest::gtest_main)
    find_package(GTest QUIET)
  endif()
  if(NOT TARGET GTest::gtest_main)
    vellum_build_googletest()
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE vellum::host GTest::gtest_main)
  foreach(pack IN LISTS arg_UNPARSED_ARGUMENTS)
    if(NOT TARGET ${pack})
      message(FATAL_ERROR "vellum_add_pack_test(${name}): ${pack} is not a target of this project")
    endif()
    string(MAKE_C_IDENTIFIER "${pack}" macro)
    string(TOUPPER "${macro}" macro)
    target_compile_definitions(${name} PRIVATE ${macro}_PACK="$<TARGET_FILE:${pack}>")
    add_dependencies(${name} ${pack})
  endforeach()
  if(WIN32 AND CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${_vellum_package_dir}/wine-run ${CMAKE_BINARY_DIR})
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(WIN32)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "VELLUM_WINEPATH=$<TARGET_FILE_DIR:vellum::vellum>")
  endif()
endfunction()
