# Every test carries two labels at least: the label of the work it belongs to
# (LABEL), and its folder ("tests/engine/frames", "tests/system"), so that
# `ctest -L '^tests/engine(/|$)'` runs the tests of one part of the source tree.
function(tarvex_test_folder_label out)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT folder MATCHES "^tests(/|$)")
    message(FATAL_ERROR "Tests are registered under tests/, not in ${folder}")
  endif()
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()

# tarvex_label_discovered_tests(<target> LABELS <label>...)
#
# Sets the labels of every case that gtest_discover_tests finds in <target>.
# gtest_discover_tests flattens a list-valued property, so the labels are set
# by a file CTest reads after the discovered tests.
function(tarvex_label_discovered_tests target)
  cmake_parse_arguments(T "" "" "LABELS" ${ARGN})
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake")
  file(WRITE "${file}"
    "foreach(name IN LISTS ${target}_TESTS)\n"
    "  set_tests_properties(\"\${name}\" PROPERTIES LABELS [==[${T_LABELS}]==])\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()

# tarvex_add_gtest(<target> LABEL <label> SOURCES <files...> LIBS <libs...>)
#
# Builds one GoogleTest program and registers each of its cases with CTest under
# the given label and the folder's. Every test runs with the offscreen Qt
# platform, so nothing needs a display; the test command also gives them a
# private runtime folder.
function(tarvex_add_gtest target)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "tarvex_add_gtest(${target}): LABEL is required")
  endif()
  tarvex_test_folder_label(folder)
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
    TARVEX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    TARVEX_BUILD_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 30
    PROPERTIES
      TIMEOUT 120
      # One variable only: gtest_discover_tests flattens a list of them.
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  tarvex_label_discovered_tests(${target} LABELS ${T_LABEL} ${folder})
  set_property(TARGET ${target} PROPERTY TARVEX_TEST_LABEL "${T_LABEL};${folder}")
endfunction()

# tarvex_label_gtest_cases(<target> LABEL <label> CASES <pattern>...)
#
# Gives cases of a tarvex_add_gtest program a further label beside the
# program's own, for cases that also belong to another issue's tests. Each
# pattern is a regular expression that a whole case name must match
# ("ScanPass\\.TheCounterWraps.*"; a parameterised case's name carries its
# instantiation before and its parameter after). gtest_discover_tests flattens
# a list-valued property, so the labels are set by a file CTest reads after
# the discovered tests. A pattern that matches no case shows up as a failing
# test under the label, not as a label silently lost.
function(tarvex_label_gtest_cases target)
  cmake_parse_arguments(T "" "LABEL" "CASES" ${ARGN})
  get_target_property(own ${target} TARVEX_TEST_LABEL)
  if(NOT own OR NOT T_LABEL OR NOT T_CASES)
    message(FATAL_ERROR "tarvex_label_gtest_cases(${target}): a tarvex_add_gtest target, LABEL and CASES are required")
  endif()
  set(labels "${own};${T_LABEL}")
  set(script "")
  set(n 0)
  foreach(pattern ${T_CASES})
    math(EXPR n "${n} + 1")
    string(APPEND script
      "set(found FALSE)\n"
      "foreach(name IN LISTS ${target}_TESTS)\n"
      "  if(name MATCHES [==[^(${pattern})$]==])\n"
      "    set_tests_properties(\"\${name}\" PROPERTIES LABELS [==[${labels}]==])\n"
      "    set(found TRUE)\n"
      "  endif()\n"
      "endforeach()\n"
      "if(NOT found)\n"
      "  add_test(${target}_NO_CASE_${n} [==[no case of ${target} matches ${pattern}]==])\n"
      "  set_tests_properties(${target}_NO_CASE_${n} PROPERTIES LABELS [==[${labels}]==])\n"
      "endif()\n")
  endforeach()
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${target}_${T_LABEL}_cases.cmake")
  file(WRITE "${file}" "${script}")
  # After the include file that gtest_discover_tests registered for the target.
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()

# tarvex_add_script_test(<name> LABEL <label> COMMAND <cmd...>)
# A test that runs a shell script (or a program) against the built programs,
# under its label and the folder's.
function(tarvex_add_script_test name)
  cmake_parse_arguments(T "" "LABEL" "COMMAND" ${ARGN})
  tarvex_test_folder_label(folder)
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABEL};${folder}"
    TIMEOUT 300
    # No session bus: a manager started here must neither take the name on
    # the user's bus nor meet the one another test started there.
    ENVIRONMENT "TARVEX_BUILD_DIR=${PROJECT_BINARY_DIR};TARVEX_SOURCE_DIR=${PROJECT_SOURCE_DIR};DBUS_SESSION_BUS_ADDRESS=disabled:")
endfunction()
