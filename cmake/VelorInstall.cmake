# Installation: the text library as a shared library with its headers and the
# CMake package Velor, so that find_package(Velor) gives Velor::textio
# (ClTextAccessor, ClTextFile) and Velor::platform. The executables of the
# tree keep linking the static libraries; the shared ones are made of the same
# objects. Headers go to include/velor and include each other by bare name.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VELOR_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/velor)
set(VELOR_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velor)

add_library(velor_platform_shared SHARED $<TARGET_OBJECTS:velor_platform>)
target_include_directories(velor_platform_shared PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src/platform>
  $<INSTALL_INTERFACE:${VELOR_INSTALL_INCLUDEDIR}>)
get_target_property(_velor_platform_deps velor_platform LINK_LIBRARIES)
if(_velor_platform_deps)
  target_link_libraries(velor_platform_shared PRIVATE ${_velor_platform_deps})
endif()

# The host's base objects (error register, saved settings) are part of the
# shared text library; the rest of the host and SQLite are not.
add_library(velor_textio_shared SHARED $<TARGET_OBJECTS:velor_textio> $<TARGET_OBJECTS:velor_hostbase>)
target_include_directories(velor_textio_shared PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src/textio>
  $<INSTALL_INTERFACE:${VELOR_INSTALL_INCLUDEDIR}>)
target_link_libraries(velor_textio_shared PUBLIC velor_platform_shared)

# A Windows DLL exports only the project's own functions, not those of the
# runtime libraries linked into it statically.
if(WIN32)
  set(_velor_runtime_libs libgcc.a:libgcc_eh.a:libstdc++.a:libwinpthread.a:libmingw32.a:libmingwex.a:libmoldname.a)
  target_link_options(velor_platform_shared PRIVATE -Wl,--exclude-libs,${_velor_runtime_libs})
  target_link_options(velor_textio_shared PRIVATE -Wl,--exclude-libs,${_velor_runtime_libs})
endif()

set_target_properties(velor_platform_shared PROPERTIES
  OUTPUT_NAME velor_platform EXPORT_NAME platform
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
set_target_properties(velor_textio_shared PROPERTIES
  OUTPUT_NAME velor_textio EXPORT_NAME textio
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
  INSTALL_RPATH "$ORIGIN")

install(TARGETS velor_platform_shared velor_textio_shared EXPORT VelorTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB _velor_public_headers CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/platform/*.h ${PROJECT_SOURCE_DIR}/src/textio/*.h)
install(FILES ${_velor_public_headers} DESTINATION ${VELOR_INSTALL_INCLUDEDIR})
install(EXPORT VelorTargets NAMESPACE Velor:: DESTINATION ${VELOR_INSTALL_CMAKEDIR})

# The shared libraries carry everything they need, so the package asks its
# consumers for nothing.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/VelorConfig.cmake
  "include(\"\${CMAKE_CURRENT_LIST_DIR}/VelorTargets.cmake\")\n")
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VelorConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VelorConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/VelorConfigVersion.cmake
        DESTINATION ${VELOR_INSTALL_CMAKEDIR})

# A program outside the tree built against an installed copy (a native
# build's: the script builds and runs with this machine's compiler).
if(VELOR_TESTS AND NOT CMAKE_CROSSCOMPILING)
  set(_velor_consumer_flags "${VELOR_SANITIZE_FLAGS}")
  add_test(NAME install_consumer
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-install.sh ${PROJECT_BINARY_DIR} "${_velor_consumer_flags}")
  set_tests_properties(install_consumer PROPERTIES TIMEOUT 300)
endif()

# The documents: the README with the files its links name (docs/ below it, as
# in the tree, so that the links hold), the examples, the manual pages.
set(VELOR_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/velor)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${VELOR_INSTALL_DOCDIR}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${VELOR_INSTALL_DOCDIR})
file(GLOB _velor_docs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md ${PROJECT_SOURCE_DIR}/docs/*.png)
install(FILES ${_velor_docs} DESTINATION ${VELOR_INSTALL_DOCDIR}/docs)
set(_velor_manuals ${PROJECT_SOURCE_DIR}/docs/man/velor.1 ${PROJECT_SOURCE_DIR}/docs/man/velor-host.1
                   ${PROJECT_SOURCE_DIR}/docs/man/velor-read.1)
if(WIN32)
  install(FILES ${_velor_manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  # Debian's forms: manual pages and the changelog compressed (gzip -n: no
  # name or time stamp), the copyright beside the documents.
  set(_velor_gzipped)
  foreach(f ${_velor_manuals} ${PROJECT_SOURCE_DIR}/docs/package/changelog)
    get_filename_component(name ${f} NAME)
    set(gz ${CMAKE_CURRENT_BINARY_DIR}/package/${name}.gz)
    add_custom_command(OUTPUT ${gz}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/package
      COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${f} ${gz}
      DEPENDS ${f} VERBATIM)
    list(APPEND _velor_gzipped ${gz})
  endforeach()
  add_custom_target(velor_package_docs ALL DEPENDS ${_velor_gzipped})
  list(FILTER _velor_gzipped INCLUDE REGEX "\\.1\\.gz$")
  install(FILES ${_velor_gzipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/changelog.gz ${PROJECT_SOURCE_DIR}/docs/package/copyright
          DESTINATION ${VELOR_INSTALL_DOCDIR})
endif()

# The Debian package of everything installed: `make package` (or cpack -G DEB
# in the build folder) writes velor_VERSION_ARCH.deb. The project has no
# address of its own: whoever builds the package to hand it out names
# themselves (cmake -DVELOR_MAINTAINER="Name <address>"); the default lies in
# the reserved .example domain, so that no stranger's mail host is named.
set(VELOR_MAINTAINER "Velor developers <velor@velor.example>" CACHE STRING
    "The Maintainer of the Debian package: Name <address>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velor)
set(CPACK_PACKAGE_VENDOR "Velor developers")
set(CPACK_PACKAGE_CONTACT "${VELOR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "fixed-asset exporter for a depreciation application, with a text record library")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared libraries: their shlibs entry, and ld.so's cache renewed through
# dpkg's trigger (package/triggers) rather than by maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# A program linked against this version runs with any later one of the same
# major version (the libraries' SOVERSION).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/docs/package/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "velor exports the fixed-asset ledger of a company data set to the files a\ndepreciation application imports; velor-host makes and fills its host store;\nvelor-read reads text files through the text record library, which is\ninstalled with its headers and CMake package.")
if(WIN32)
  include(VelorPackageWindows)
endif()
include(CPack)

# The Debian package passes lintian and, unpacked into a scratch root, runs
# from there; as root it is also installed with apt, run by an ordinary
# account, and removed.
if(VELOR_TESTS AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME install_package
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-package.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(install_package PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  add_test(NAME install_package_apt
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-package-apt.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(install_package_apt PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
endif()
