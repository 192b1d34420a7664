# The libraries of a Windows build. Debian has no mingw-w64 builds of them, so
# scripts/install-deps.sh prepares them in a cache outside the repository
# (VELOR_WIN_DEPS): SQLite's amalgamation from Debian's source package,
# PostgreSQL's client library cross-built from Debian's source package, and
# nlohmann-json's headers in a folder of their own (all of /usr/include would
# shadow mingw's C headers). GoogleTest is built here from Debian's sources.
if(DEFINED ENV{VELOR_WIN_DEPS})
  set(_velor_win_deps_default $ENV{VELOR_WIN_DEPS})
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(_velor_win_deps_default $ENV{XDG_CACHE_HOME}/velor/win-deps)
else()
  set(_velor_win_deps_default $ENV{HOME}/.cache/velor/win-deps)
endif()
set(VELOR_WIN_DEPS ${_velor_win_deps_default} CACHE PATH "Libraries of the Windows build")
foreach(f sqlite-src/sqlite3.c libpq/lib/libpq.a include/nlohmann/json.hpp)
  if(NOT EXISTS ${VELOR_WIN_DEPS}/${f})
    message(FATAL_ERROR "${VELOR_WIN_DEPS}/${f} is missing: run scripts/install-deps.sh")
  endif()
endforeach()

add_library(velor_sqlite3 STATIC ${VELOR_WIN_DEPS}/sqlite-src/sqlite3.c)
target_include_directories(velor_sqlite3 SYSTEM PUBLIC ${VELOR_WIN_DEPS}/sqlite-src)
target_compile_definitions(velor_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
target_compile_options(velor_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS velor_sqlite3)

# libpq and the two libraries it needs, static, with the system's sockets and
# security support; under the name the native build finds it by.
add_library(velor_libpq INTERFACE)
target_include_directories(velor_libpq SYSTEM INTERFACE ${VELOR_WIN_DEPS}/libpq/include)
target_link_libraries(velor_libpq INTERFACE ${VELOR_WIN_DEPS}/libpq/lib/libpq.a
                      ${VELOR_WIN_DEPS}/libpq/lib/libpgcommon.a ${VELOR_WIN_DEPS}/libpq/lib/libpgport.a
                      ws2_32 secur32)
add_library(PkgConfig::LIBPQ ALIAS velor_libpq)

add_library(velor_nlohmann_json INTERFACE)
target_include_directories(velor_nlohmann_json SYSTEM INTERFACE ${VELOR_WIN_DEPS}/include)
add_library(nlohmann_json::nlohmann_json ALIAS velor_nlohmann_json)

# GoogleTest (its targets come as GTest::gtest and so on). Its sources hold texts without a code page 932 form: they are
# compiled with UTF-8 literals.
if(VELOR_TESTS)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -fexec-charset=UTF-8 -w)
  endforeach()
endif()
