# How this configuration's test programs run: natively, through an emulator, under Wine, or not
# at all.
#
# VELLUM_RUN_I386 (AUTO, ON, OFF) answers "can this machine run this 32-bit configuration's
# programs?": natively for linux-x86, under Wine (wine32) for windows-x86. AUTO runs a tiny probe
# at configure time; OFF forces the answer "no", which takes the emulator path in linux-x86 and
# the skip path in windows-x86.
set(VELLUM_RUN_I386 AUTO CACHE STRING
    "Whether i386 programs run here (natively, or under Wine for Windows builds): AUTO (probe), ON, OFF")
set_property(CACHE VELLUM_RUN_I386 PROPERTY STRINGS AUTO ON OFF)

if(WIN32)
  find_program(VELLUM_WINE wine)
  set(VELLUM_WINE_RUN ${PROJECT_SOURCE_DIR}/cmake/wine-run ${CMAKE_BINARY_DIR})
endif()

# Builds a program with this configuration's compiler and runs it here: natively, or for Windows
# under Wine in the build's own prefix. That first Wine run also makes the prefix (some 15 s),
# so that no test discovery meets a prefix half made; the server it starts is stopped again,
# so that the configure leaves nothing running.
function(_vellum_probe_runs result)
  set(dir ${CMAKE_BINARY_DIR}/_probe)
  file(WRITE ${dir}/probe.cpp "int main() { return sizeof(void*) == ${CMAKE_SIZEOF_VOID_P} ? 0 : 1; }\n")
  # Linked alone, so that it needs no runtime DLL beside it.
  set(alone)
  if(WIN32)
    set(alone LINK_OPTIONS -static)
  endif()
  try_compile(built ${dir}/build SOURCES ${dir}/probe.cpp ${alone} COPY_FILE ${dir}/probe${CMAKE_EXECUTABLE_SUFFIX})
  set(rc 1)
  if(built AND WIN32)
    if(VELLUM_WINE)
      execute_process(COMMAND ${VELLUM_WINE_RUN} ${dir}/probe.exe RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET
                      TIMEOUT 180)
      execute_process(COMMAND ${VELLUM_WINE_RUN} --stop OUTPUT_QUIET ERROR_QUIET TIMEOUT 120)
    endif()
  elseif(built)
    execute_process(COMMAND ${dir}/probe RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET TIMEOUT 30)
  endif()
  if(rc EQUAL 0)
    set(${result} ON PARENT_SCOPE)
  else()
    set(${result} OFF PARENT_SCOPE)
  endif()
endfunction()

set(VELLUM_TEST_MODE native)
if(WIN32 AND NOT VELLUM_WINE)
  set(VELLUM_TEST_MODE skip)
  set(VELLUM_SKIP_REASON "Wine is not installed")
elseif(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  # windows-x64: wine64 runs on every x86-64 kernel; the probe makes the prefix all the same.
  _vellum_probe_runs(VELLUM_WINE_RUNS)
  if(VELLUM_WINE_RUNS)
    set(VELLUM_TEST_MODE wine)
  else()
    set(VELLUM_TEST_MODE skip)
    set(VELLUM_SKIP_REASON "Wine cannot run a 64-bit Windows program here")
  endif()
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  if(VELLUM_RUN_I386 STREQUAL "AUTO")
    _vellum_probe_runs(VELLUM_I386_RUNS)
  else()
    set(VELLUM_I386_RUNS ${VELLUM_RUN_I386})
  endif()
  if(WIN32)
    message(STATUS "vellum: 32-bit Windows programs run under Wine: ${VELLUM_I386_RUNS}")
    if(VELLUM_I386_RUNS)
      set(VELLUM_TEST_MODE wine)
    elseif(VELLUM_RUN_I386 STREQUAL "AUTO")
      set(VELLUM_TEST_MODE skip)
      set(VELLUM_SKIP_REASON "Wine cannot run 32-bit Windows programs here (wine32, a kernel that runs i386 code)")
    else()
      set(VELLUM_TEST_MODE skip)
      set(VELLUM_SKIP_REASON "VELLUM_RUN_I386=${VELLUM_RUN_I386}: the 32-bit Windows programs are built, not run")
    endif()
  else()
    message(STATUS "vellum: i386 code runs natively: ${VELLUM_I386_RUNS}")
    if(NOT VELLUM_I386_RUNS)
      find_program(VELLUM_QEMU_I386 qemu-i386)
      if(VELLUM_QEMU_I386)
        set(VELLUM_TEST_MODE emulator)
      else()
        set(VELLUM_TEST_MODE skip)
        set(VELLUM_SKIP_REASON "this kernel cannot run i386 code and qemu-i386 is not installed")
      endif()
    endif()
  endif()
endif()
if(VELLUM_TEST_MODE STREQUAL "wine" AND BUILD_TESTING)
  # One wineserver for the whole run, stopped at its end.
  add_test(NAME wineserver_stop COMMAND ${VELLUM_WINE_RUN} --stop)
  set_tests_properties(wineserver_stop PROPERTIES FIXTURES_CLEANUP wine)
endif()
message(STATUS "vellum: tests run ${VELLUM_TEST_MODE}")

# vellum_add_skipped_test(NAME): a test that reports this configuration's reason for not running.
function(vellum_add_skipped_test name)
  add_test(NAME ${name} COMMAND sh -c "echo 'skipped: ${VELLUM_SKIP_REASON}'; exit 77")
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

function(vellum_register_tests target)
  if(VELLUM_TEST_MODE STREQUAL "skip")
    vellum_add_skipped_test(${target})
    return()
  endif()
  set(fixture)
  if(VELLUM_TEST_MODE STREQUAL "emulator")
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR ${VELLUM_QEMU_I386})
  elseif(VELLUM_TEST_MODE STREQUAL "wine")
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR ${VELLUM_WINE_RUN})
    set(fixture FIXTURES_REQUIRED wine)
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
                       PROPERTIES ${fixture} ENVIRONMENT
                       "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1;UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endfunction()
