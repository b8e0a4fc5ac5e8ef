# Installation on Linux: the quadrel program, libquadrel.so with a versioned
# SONAME, the public header, a pkg-config file, a CMake package config and
# the man page; and a Debian package of all that made with CPack.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The SONAME's number: raised whenever an export changes in a way that old
# callers would not survive.
set(QUADREL_SOVERSION 0)
set_target_properties(quadrel PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${QUADREL_SOVERSION})
target_include_directories(quadrel INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS quadrel EXPORT QuadrelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
install(FILES include/quadrel.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
if(TARGET quadrel_cli)
  install(TARGETS quadrel_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endif()
# The command list that the commands report (/cm) reads; the program finds it
# in ../share/quadrel from its own folder.
install(FILES resources/ShowCmds.otm DESTINATION ${CMAKE_INSTALL_DATADIR}/quadrel COMPONENT runtime)
set(QUADREL_MAN_DATE 2026)
configure_file(doc/quadrel.1.in ${CMAKE_BINARY_DIR}/quadrel.1 @ONLY)
# The man page and the changelog are installed compressed, as Debian's
# policy asks (gzip -n: no name or time in the archive, the same bytes on
# every build).
configure_file(packaging/debian/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
find_program(QUADREL_GZIP gzip REQUIRED)
foreach(doc quadrel.1 changelog)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${doc}.gz
                     COMMAND ${QUADREL_GZIP} -9 -n -c ${CMAKE_BINARY_DIR}/${doc} > ${CMAKE_BINARY_DIR}/${doc}.gz
                     DEPENDS ${CMAKE_BINARY_DIR}/${doc} VERBATIM)
endforeach()
add_custom_target(quadrel_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/quadrel.1.gz ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/quadrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
set(QUADREL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quadrel)
install(FILES packaging/debian/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${QUADREL_DOC_DIR}
        COMPONENT runtime)

# pkg-config: the prefix is found from the .pc file's own place, so that an
# installation into any prefix (or a staging folder) is found as it is.
set(QUADREL_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH QUADREL_PC_TO_PREFIX /prefix/${QUADREL_PC_DIR} /prefix)
string(REGEX REPLACE "/$" "" QUADREL_PC_TO_PREFIX "${QUADREL_PC_TO_PREFIX}")
configure_file(cmake/quadrel.pc.in ${CMAKE_BINARY_DIR}/quadrel.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/quadrel.pc DESTINATION ${QUADREL_PC_DIR} COMPONENT development)

# find_package(Quadrel) gives the imported target Quadrel::quadrel.
set(QUADREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quadrel)
install(EXPORT QuadrelTargets NAMESPACE Quadrel:: DESTINATION ${QUADREL_CMAKE_DIR} COMPONENT development)
configure_package_config_file(cmake/QuadrelConfig.cmake.in ${CMAKE_BINARY_DIR}/QuadrelConfig.cmake
                              INSTALL_DESTINATION ${QUADREL_CMAKE_DIR})
# Before 1.0 a new minor version may change exports.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QuadrelConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/QuadrelConfig.cmake ${CMAKE_BINARY_DIR}/QuadrelConfigVersion.cmake
        DESTINATION ${QUADREL_CMAKE_DIR} COMPONENT development)

# A library installed under a prefix of the system's own (/usr/local) is
# found by programs once ldconfig has renewed the loader's cache.
install(CODE "message(STATUS \"libquadrel.so installed in \${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}: run ldconfig (as root) when that is a folder the loader searches\")"
        COMPONENT runtime)

# cpack -G DEB in the build folder: one package with every component.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quadrel)
set(CPACK_PACKAGE_VENDOR "Quadrel")
set(CPACK_PACKAGE_CONTACT "Quadrel developers <quadrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator of formulas and calculation scripts, with its C library")
# One string: a CMake list would join its parts with ";".
set(CPACK_PACKAGE_DESCRIPTION
    "The quadrel program runs calculation scripts and formulas from the command
line or interactively. libquadrel.so offers the expression evaluator, matrices,
differentiation and numerical methods to C programs (header quadrel.h,
pkg-config quadrel, CMake package Quadrel).")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shlibs file of libquadrel.so.0 and the ldconfig trigger that comes with it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The loader's cache is renewed by dpkg's ldconfig trigger; the maintainer
# scripts of our own keep CPack from calling ldconfig in its own.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/triggers
                                       ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
                                       ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
