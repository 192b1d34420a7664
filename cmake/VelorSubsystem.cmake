# velor_subsystem(NAME [DIRS dir...] [DEPS target...] [TEST_DEPS target...])
# Builds the static library NAME from every *.cpp of the current folder (and of
# the DIRS below it) that is not a test, and the test program NAME_tests from
# every *_test.cpp found there. Each subsystem folder is on the include path of
# the library and of everything that links it, so headers are included by name.
# The tests link the platform-level test helpers; TEST_DEPS adds more (the
# host-level helpers velor_testsupport_host for tests that need stores).
function(velor_subsystem name)
  cmake_parse_arguments(A "" "" "DIRS;DEPS;TEST_DEPS" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(test_globs ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(d ${A_DIRS})
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp)
    list(APPEND test_globs ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*_test.cpp)
  endforeach()
  file(GLOB srcs CONFIGURE_DEPENDS ${globs})
  list(FILTER srcs EXCLUDE REGEX "_test\\.cpp$")
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  else()
    # A subsystem with headers only so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${A_DEPS})
  endif()
  file(GLOB tests CONFIGURE_DEPENDS ${test_globs})
  if(tests AND VELOR_TESTS)
    add_executable(${name}_tests ${tests})
    target_link_libraries(${name}_tests PRIVATE ${name} velor_testsupport_platform ${A_TEST_DEPS}
                          GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "VELOR_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endif()
endfunction()

# velor_add_subfolders(): adds every folder below the current one that has a
# CMakeLists.txt (one tool, benchmark or fuzz area each).
function(velor_add_subfolders)
  file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(d ${dirs})
    if(IS_DIRECTORY ${d} AND EXISTS ${d}/CMakeLists.txt)
      add_subdirectory(${d})
    endif()
  endforeach()
endfunction()
