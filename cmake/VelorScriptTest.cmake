# velor_script_test(NAME name COMMAND script arg... [WINDOWS_SKIP reason]
#                   [PROPERTIES prop value...])
# A test that a shell script runs over the build's programs. The script runs
# them through VELOR_EMULATOR, which holds the emulator of a cross build (wine
# for the Windows build) and is empty for a native build. A test that cannot
# apply to the Windows build is kept there as a skipped test that prints why.
# Nothing without VELOR_TESTS.
function(velor_script_test)
  cmake_parse_arguments(T "" "NAME;WINDOWS_SKIP" "COMMAND;PROPERTIES" ${ARGN})
  if(NOT VELOR_TESTS)
    return()
  endif()
  if(CMAKE_CROSSCOMPILING AND T_WINDOWS_SKIP)
    add_test(NAME ${T_NAME}
             COMMAND sh -c "echo \"not run in the Windows build: $1\"; exit 77" sh "${T_WINDOWS_SKIP}")
    set_tests_properties(${T_NAME} PROPERTIES SKIP_RETURN_CODE 77)
    return()
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "VELOR_EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                       ${T_PROPERTIES})
endfunction()
