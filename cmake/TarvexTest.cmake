# tarvex_add_gtest(<target> LABEL <label> SOURCES <files...> LIBS <libs...>)
#
# Builds one GoogleTest program and registers each of its cases with CTest under
# the given label. Every test runs with the offscreen Qt platform, so nothing
# needs a display; the test command also gives them a private runtime folder.
function(tarvex_add_gtest target)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "tarvex_add_gtest(${target}): LABEL is required")
  endif()
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
    TARVEX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    TARVEX_BUILD_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 30
    PROPERTIES
      LABELS "${T_LABEL}"
      TIMEOUT 120
      # One variable only: gtest_discover_tests flattens a list of them.
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# tarvex_add_script_test(<name> LABEL <label> COMMAND <cmd...>)
# A test that runs a shell script against the built programs.
function(tarvex_add_script_test name)
  cmake_parse_arguments(T "" "LABEL" "COMMAND" ${ARGN})
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABEL}"
    TIMEOUT 300
    # No session bus: a manager started here must neither take the name on
    # the user's bus nor meet the one another test started there.
    ENVIRONMENT "TARVEX_BUILD_DIR=${PROJECT_BINARY_DIR};TARVEX_SOURCE_DIR=${PROJECT_SOURCE_DIR};DBUS_SESSION_BUS_ADDRESS=disabled:")
endfunction()
