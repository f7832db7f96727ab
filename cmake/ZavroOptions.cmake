# Compile options every target of the project shares: warnings, sanitizers and
# the platform tag that names test suites in the combined test run.
add_library(zavro_options INTERFACE)
target_compile_options(zavro_options INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
# The audio path must give the same bits with every compiler and target: no
# fused multiply-add contraction, no other licence to change a result.
target_compile_options(zavro_options INTERFACE -ffp-contract=off)
target_include_directories(zavro_options INTERFACE ${PROJECT_SOURCE_DIR})

if(WIN32)
  set(ZAVRO_PLATFORM windows)
  target_compile_definitions(zavro_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # What we ship must need nothing but Windows system DLLs.
  target_link_options(zavro_options INTERFACE -static -static-libgcc -static-libstdc++)
elseif(ZAVRO_SANITIZE)
  set(ZAVRO_PLATFORM asan)
elseif(ZAVRO_TSAN)
  set(ZAVRO_PLATFORM tsan)
else()
  set(ZAVRO_PLATFORM linux)
endif()

if(ZAVRO_SANITIZE)
  set(ZAVRO_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(zavro_options INTERFACE ${ZAVRO_SANITIZER_FLAGS})
  if(ZAVRO_FUZZ)
    # Coverage instrumentation for the fuzz targets; harmless for the suites.
    target_compile_options(zavro_options INTERFACE -fsanitize=fuzzer-no-link)
  endif()
  target_link_options(zavro_options INTERFACE ${ZAVRO_SANITIZER_FLAGS})
endif()
if(ZAVRO_TSAN)
  target_compile_options(zavro_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(zavro_options INTERFACE -fsanitize=thread)
endif()

# A plug-in module as we ship it. On Linux it carries its own C++ runtime, as the
# Windows modules do, and needs nothing of the C library newer than 2.31, so
# that it loads on distributions older than the build machine; the symbol test
# checks every module registered here. libgcc stays the system's shared one
# (present everywhere, with old symbol versions): its static unwinder needs
# glibc 2.35. Sections nothing uses are dropped, and with them the runtime's
# references to newer C library functions. EXPORTS names the version script
# that lists the only symbols a Linux module exports (its entry points).
function(zavro_plugin_module target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "EXPORTS" "")
  set_property(GLOBAL APPEND PROPERTY ZAVRO_PLUGIN_MODULES ${target})
  if(WIN32)
    return()
  endif()
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/IModuleLocation.cpp)
  if(arg_EXPORTS)
    target_link_options(${target} PRIVATE -Wl,--version-script=${arg_EXPORTS})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${arg_EXPORTS})
  endif()
  if(NOT ZAVRO_SANITIZE AND NOT ZAVRO_TSAN)
    # Missing symbols fail the link, not the host's load. (Sanitizer runtimes
    # come from the host executable, so they stay open there.)
    target_link_options(${target} PRIVATE -static-libstdc++ -Wl,--gc-sections -Wl,--no-undefined)
  endif()
endfunction()

# The product compiled into target on one binding (VST2 or VST3): its sources,
# its factory, the definition that picks the binding as its base, and the
# binding's library.
function(zavro_product_on target binding)
  string(TOLOWER ${binding} lower)
  target_sources(${target} PRIVATE ${ZAVRO_PLUGIN_SOURCES} ${PROJECT_SOURCE_DIR}/plugin/ZAVROFactory.cpp)
  target_compile_definitions(${target} PRIVATE ZAVRO_BINDING_${binding})
  target_link_libraries(${target} PRIVATE zavro_${lower})
endfunction()
