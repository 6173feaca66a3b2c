# GoogleTest from the distribution's sources, built once per configuration with that
# configuration's compiler and flags (VellumFunctionPack.cmake, included by VellumFlags).
vellum_build_googletest()

include(CTest)
include(GoogleTest)
include(VellumTestRunner)

# vellum_add_test_suite(NAME SOURCES...): one GoogleTest program, linked against the shared
# library (vellum.dll on Windows: its export table is what the suite tests), the reference host
# and the allocation-failure injector, which on Windows reaches into the DLL through the hooks
# the DLL looks for in the program (vellum/library/allocation_hooks.h).
function(vellum_add_test_suite name)
  add_executable(${name} ${ARGN})
  # The host's archive before the library it calls: archives are searched in order.
  target_link_libraries(${name} PRIVATE vellum_host vellum vellum_fault_injection
                        vellum_test_support GTest::gtest_main)
  vellum_register_tests(${name})
endfunction()

# vellum_add_internal_test_suite(NAME SOURCES...): a GoogleTest program for what lies past the
# exported interface (a substituted platform service, an internal decision). It links the static
# library, which holds the same objects as the shared one.
function(vellum_add_internal_test_suite name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vellum_host vellum_static vellum_fault_injection vellum_test_support
                        GTest::gtest_main)
  vellum_register_tests(${name})
endfunction()
