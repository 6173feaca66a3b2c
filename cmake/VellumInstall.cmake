# cmake --install: the headers, the library, the reference host (program, library, protocol and
# testing headers), a CMake package, and pkg-config files: vellum (a pack) and vellum-host (a
# pack's tests).
#
#   find_package(vellum)  ->  vellum::vellum  (the shared library)
#                             vellum::host    (the reference host, for a pack's tests)
#                             vellum::pack    (what a pack module builds against)
#                             vellum::vellum-host
#                             vellum_add_function_pack(NAME SOURCES...)
#                             vellum_add_pack_test(NAME PACK... SOURCES...)
include(CMakePackageConfigHelpers)

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vellum)


# The installed program finds the library beside it (lib next to bin).
file(RELATIVE_PATH bin_to_lib ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
if(NOT WIN32)
  set_target_properties(vellum-host PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
endif()

# Only the headers of the targets' header sets are installed: the ones a pack or a pack's test
# includes, not the library's internal ones. The host's headers keep their own folder, so that
# packs and tests include <host/protocol.h> from the installed package as they do in this tree,
# without a folder named "host" among the system's headers.
install(TARGETS vellum EXPORT vellumTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS vellum_host vellum_pack vellum-host EXPORT vellumTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        FILE_SET HEADERS DESTINATION ${VELLUM_INSTALL_HOST_INCLUDEDIR})
set_target_properties(vellum_host PROPERTIES EXPORT_NAME host)
set_target_properties(vellum_pack PROPERTIES EXPORT_NAME pack)
if(VELLUM_RUNTIME_DLLS)
  # The 32-bit DLL shares libgcc (and its thread library) with the packs and the host, so that
  # texts thrown by one module unwind through the frames of another: they go beside vellum.dll.
  install(FILES ${VELLUM_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(EXPORT vellumTargets NAMESPACE vellum:: DESTINATION ${package_dir})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vellumConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vellumConfig.cmake INSTALL_DESTINATION ${package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vellumConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vellumConfig.cmake ${PROJECT_BINARY_DIR}/vellumConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/VellumFunctionPack.cmake
        DESTINATION ${package_dir})
# A pack is built for Windows with the toolchain files this package was built with, and its tests
# run under Wine through the runner (vellum_add_pack_test).
install(FILES ${PROJECT_SOURCE_DIR}/cmake/toolchain-windows-x86.cmake ${PROJECT_SOURCE_DIR}/cmake/toolchain-windows-x64.cmake
        DESTINATION ${package_dir})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/cmake/wine-run DESTINATION ${package_dir})

# The file names the prefix relative to its own place, so that the package can be installed
# anywhere (cmake --install --prefix DIR) and moved.
file(RELATIVE_PATH pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
list(JOIN VELLUM_PACK_FLAGS " " pc_pack_flags)
# A module linked this way finds libvellum.so where it was installed, without LD_LIBRARY_PATH. On
# Windows the DLL's import library is named by its path: the 64-bit link flags (-static) keep
# the linker from looking for import libraries under -l names.
set(pc_link_flags ${VELLUM_LINK_FLAGS})
set(pc_library "-L\${libdir} -lvellum")
if(WIN32)
  set(pc_library "\${libdir}/${CMAKE_IMPORT_LIBRARY_PREFIX}vellum${CMAKE_IMPORT_LIBRARY_SUFFIX}")
else()
  list(APPEND pc_link_flags "-Wl,-rpath,\${libdir}")
endif()
list(JOIN pc_link_flags " " pc_link_flags)
set(pc_host_libs ${CMAKE_DL_LIBS})
list(TRANSFORM pc_host_libs PREPEND -l)
list(JOIN pc_host_libs " " pc_host_libs)
foreach(pc vellum vellum-host)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
