# Private session buses for tests.
#
# Each test case of a bus test program runs under its own dbus-run-session,
# so it gets a bus of its own at a fresh address, ended with the test. Three
# bus configurations are generated:
#   manager  activation starts the built manager (bin/tarvex)
#   fixture  activation starts the test fixture (bin/tarvex-bus-fixture)
#   none     no activation file: nothing can be started
# The configuration files are ${TARVEX_BUS_CONFIG_DIR}/session-<kind>.conf.
#
# tarvex_add_bus_gtest(<target> LABEL <label> BUS <kind> SOURCES ... LIBS ...)
include_guard(GLOBAL)

find_program(TARVEX_DBUS_RUN_SESSION dbus-run-session REQUIRED)
# A cache value, seen by every folder: the guard above skips this file in all
# but the first folder that includes it, and a plain variable would stay there.
set(TARVEX_BUS_CONFIG_DIR ${PROJECT_BINARY_DIR}/dbus CACHE INTERNAL "Private session bus configurations")

function(tarvex_bus_config kind exec)
  set(services ${TARVEX_BUS_CONFIG_DIR}/services-${kind})
  if(exec)
    set(TARVEX_BUS_EXEC ${exec})
    configure_file(${PROJECT_SOURCE_DIR}/publish/bus/org.tarvex.Manager.service.in
                   ${services}/org.tarvex.Manager.service @ONLY)
    set(TARVEX_BUS_SERVICES "${services}")
    set(TARVEX_BUS_SERVICEDIR "<servicedir>${services}</servicedir>")
  else()
    set(TARVEX_BUS_SERVICES "no service")
    set(TARVEX_BUS_SERVICEDIR "")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/test-session-bus.conf.in
                 ${TARVEX_BUS_CONFIG_DIR}/session-${kind}.conf @ONLY)
endfunction()

tarvex_bus_config(manager ${PROJECT_BINARY_DIR}/bin/tarvex)
tarvex_bus_config(fixture ${PROJECT_BINARY_DIR}/bin/tarvex-bus-fixture)
tarvex_bus_config(none "")

function(tarvex_add_bus_gtest target)
  cmake_parse_arguments(T "" "LABEL;BUS" "SOURCES;LIBS" ${ARGN})
  if(NOT T_BUS)
    message(FATAL_ERROR "tarvex_add_bus_gtest(${target}): BUS manager, fixture or none is required")
  endif()
  # The emulator wraps discovery and every test case alike; a new target takes
  # it from this variable. The C locale keeps the DDE texts' decimal point, for
  # the bus and every program it starts alike.
  set(CMAKE_CROSSCOMPILING_EMULATOR
    "env;LC_ALL=C.UTF-8;${TARVEX_DBUS_RUN_SESSION};--config-file=${TARVEX_BUS_CONFIG_DIR}/session-${T_BUS}.conf;--")
  tarvex_add_gtest(${target} LABEL ${T_LABEL} SOURCES ${T_SOURCES} LIBS ${T_LIBS} Qt6::DBus)
endfunction()
