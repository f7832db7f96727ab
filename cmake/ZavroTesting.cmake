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

# The ThreadSanitizer build makes only the suites marked TSAN: this target
# collects them, and its build preset builds it.
if(ZAVRO_TSAN)
  add_custom_target(zavro_tsan_suites)
endif()

# zavro_add_suite(<name> SOURCES ... [LIBS ...] [WINDOW] [TSAN] [TIMEOUT s] [PORTABLE])
# WINDOW runs the suite under a virtual X display (editor suites under Wine),
# in a Wine prefix of the window suites, never beside another WINDOW suite.
# TSAN suites are the only ones the ThreadSanitizer build makes and runs; a
# reported race fails them at once.
function(zavro_add_suite name)
  cmake_parse_arguments(S "WINDOW;TSAN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(ZAVRO_TSAN AND NOT S_TSAN)
    # The target still exists for the folder's own settings, but is neither
    # built nor run.
    add_executable(${name} EXCLUDE_FROM_ALL ${S_SOURCES})
    target_link_libraries(${name} PRIVATE zavro_options zavro_gtest ${S_LIBS})
    return()
  endif()
  add_executable(${name} ${S_SOURCES})
  target_link_libraries(${name} PRIVATE zavro_options zavro_gtest ${S_LIBS})
  if(NOT S_TIMEOUT)
    set(S_TIMEOUT 300)
  endif()
  add_test(NAME ${ZAVRO_PLATFORM}.${name} COMMAND ${name})
  set(props TIMEOUT ${S_TIMEOUT})
  if(ZAVRO_TSAN)
    add_dependencies(zavro_tsan_suites ${name})
    list(APPEND props ENVIRONMENT TSAN_OPTIONS=halt_on_error=1)
  endif()
  set_tests_properties(${ZAVRO_PLATFORM}.${name} PROPERTIES ${props})
  if(S_WINDOW)
    # Window suites keep a Wine prefix of their own: a desktop that a suite
    # without a display started cannot make windows. They take it one at a
    # time, since one suite's windows would take another's focus and mouse.
    set_property(TEST ${ZAVRO_PLATFORM}.${name} APPEND PROPERTY ENVIRONMENT
                 ZAVRO_XVFB=1 ZAVRO_WINEPREFIX=${PROJECT_SOURCE_DIR}/build/wineprefix-window)
    set_property(TEST ${ZAVRO_PLATFORM}.${name} PROPERTY RESOURCE_LOCK zavro_window_prefix)
  endif()
endfunction()

# zavro_add_fuzzer(<name> SOURCES ... [LIBS ...] CORPUS <seed dir> [SECONDS n])
# A libFuzzer target (asan build with ZAVRO_FUZZ only), run by the test command
# for a bounded time over the committed seeds. New inputs go to the build tree,
# never into the seed folder; a crash leaves its input in the build tree too.
function(zavro_add_fuzzer name)
  if(NOT ZAVRO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_SECONDS)
    set(F_SECONDS 15)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE zavro_options ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}.corpus)
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${ZAVRO_PLATFORM}.fuzz.${name}
           COMMAND ${name} -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048
                   -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/${name}- ${work} ${F_CORPUS})
  math(EXPR limit "${F_SECONDS} + 120")
  set_tests_properties(${ZAVRO_PLATFORM}.fuzz.${name} PROPERTIES TIMEOUT ${limit})
endfunction()
