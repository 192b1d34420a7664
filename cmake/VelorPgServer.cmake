# The private PostgreSQL server of the tests: the test pg_server_start
# starts it (testsupport/host/pgserver.sh) before every test that needs it,
# pg_server_stop stops it after them, failed or not. A test that needs it
# calls velor_needs_pg_server(TEST...) and finds the URI of its empty
# database velor_test in VELOR_TEST_PG_URI; without the server programs the
# start is skipped, VELOR_TEST_PG_URI is not set and those tests skip too.
set(VELOR_PGSERVER_SCRIPT ${PROJECT_SOURCE_DIR}/testsupport/host/pgserver.sh)
set(VELOR_PGSERVER_LINK ${CMAKE_BINARY_DIR}/pgserver)
set(VELOR_TEST_PG_URI "postgresql://velor@/velor_test?host=${VELOR_PGSERVER_LINK}")
# (The Windows build's tests under wine would reach it by TCP: not yet.)
if(VELOR_TESTS AND TARGET PkgConfig::LIBPQ AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME pg_server_start COMMAND ${VELOR_PGSERVER_SCRIPT} start ${VELOR_PGSERVER_LINK})
  add_test(NAME pg_server_stop COMMAND ${VELOR_PGSERVER_SCRIPT} stop ${VELOR_PGSERVER_LINK})
  set_tests_properties(pg_server_start PROPERTIES FIXTURES_SETUP pg_server SKIP_RETURN_CODE 77)
  set_tests_properties(pg_server_stop PROPERTIES FIXTURES_CLEANUP pg_server)
endif()

# velor_needs_pg_server(TEST...): the tests run while the server runs, with
# its URI in VELOR_TEST_PG_URI.
file(GLOB VELOR_PG_PROGRAMS /usr/lib/postgresql/*/bin/postgres)
function(velor_needs_pg_server)
  if(NOT VELOR_TESTS OR CMAKE_CROSSCOMPILING)
    return()
  endif()
  foreach(t ${ARGN})
    set_property(TEST ${t} APPEND PROPERTY FIXTURES_REQUIRED pg_server)
    if(VELOR_PG_PROGRAMS)
      set_property(TEST ${t} APPEND PROPERTY ENVIRONMENT "VELOR_TEST_PG_URI=${VELOR_TEST_PG_URI}")
    endif()
  endforeach()
endfunction()
