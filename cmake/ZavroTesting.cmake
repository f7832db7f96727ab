# Test helpers. Every suite is one GoogleTest executable registered with CTest
# under "<platform>.<name>", so the combined run of all builds stays readable.
# Windows suites run under Wine through the cross-compiling emulator.

if(CMAKE_CROSSCOMPILING)
  # Debian ships GoogleTest only as source for foreign targets.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  add_library(zavro_gtest INTERFACE)
  target_link_libraries(zavro_gtest INTERFACE gtest gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  add_library(zavro_gtest INTERFACE)
  target_link_libraries(zavro_gtest INTERFACE GTest::gtest GTest::gmock GTest::gtest_main)
endif()

# zavro_add_suite(<name> SOURCES ... [LIBS ...] [WINDOW] [TIMEOUT s] [PORTABLE])
# WINDOW runs the suite under a virtual X display (editor suites under Wine).
function(zavro_add_suite name)
  cmake_parse_arguments(S "WINDOW" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${S_SOURCES})
  target_link_libraries(${name} PRIVATE zavro_options zavro_gtest ${S_LIBS})
  if(NOT S_TIMEOUT)
    set(S_TIMEOUT 300)
  endif()
  add_test(NAME ${ZAVRO_PLATFORM}.${name} COMMAND ${name})
  set(props TIMEOUT ${S_TIMEOUT})
  if(S_WINDOW)
    list(APPEND props ENVIRONMENT ZAVRO_XVFB=1)
  endif()
  set_tests_properties(${ZAVRO_PLATFORM}.${name} PROPERTIES ${props})
endfunction()
