# pylonix_target_defaults(<target>): warnings, and warnings as errors when asked.
function(pylonix_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(PYLONIX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# pylonix_add_test(<name> SOURCES ... LIBS ...): one GoogleTest executable, registered with CTest.
function(pylonix_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  pylonix_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE PYLONIX_FIXTURES_DIR="${PYLONIX_FIXTURES_DIR}")
  # Listed when the tests run, not right after linking: on a busy machine a freshly linked file
  # can still be held open by a forked sibling ("Text file busy").
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST
                       PROPERTIES LABELS "unit;${ARG_LABELS}")
endfunction()
