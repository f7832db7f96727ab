# libpng for the drawing library, as the target zavro_png.
#
# Natively it is the system's libpng. For Windows it is compiled here, as a
# static library, from Debian's libpng source that scripts/bootstrap.sh unpacks
# into third_party/src/libpng, against the static zlib of mingw-w64; libpng's
# own build system is not used. The configuration header is libpng's prebuilt
# default one.
add_library(zavro_png INTERFACE)

if(NOT CMAKE_CROSSCOMPILING)
  find_package(PNG REQUIRED)
  target_link_libraries(zavro_png INTERFACE PNG::PNG)
  return()
endif()

set(ZAVRO_LIBPNG_SOURCE_DIR ${PROJECT_SOURCE_DIR}/third_party/src/libpng CACHE PATH
    "Unpacked libpng source for the Windows build")
if(NOT EXISTS ${ZAVRO_LIBPNG_SOURCE_DIR}/png.h)
  message(FATAL_ERROR "libpng source not found in ${ZAVRO_LIBPNG_SOURCE_DIR}; run scripts/bootstrap.sh")
endif()

# Only the static zlib keeps the deliverables free of zlib1.dll.
find_library(ZAVRO_ZLIB_STATIC NAMES libz.a REQUIRED)
find_path(ZAVRO_ZLIB_INCLUDE zlib.h REQUIRED)

set(config_dir ${CMAKE_CURRENT_BINARY_DIR}/libpng-config)
configure_file(${ZAVRO_LIBPNG_SOURCE_DIR}/scripts/pnglibconf.h.prebuilt ${config_dir}/pnglibconf.h COPYONLY)

set(sources png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset
            pngtrans pngwio pngwrite pngwtran pngwutil)
list(TRANSFORM sources PREPEND ${ZAVRO_LIBPNG_SOURCE_DIR}/)
list(TRANSFORM sources APPEND .c)
add_library(zavro_libpng STATIC ${sources})
# Third-party code: its warnings are not ours to fix.
target_compile_options(zavro_libpng PRIVATE -w)
target_compile_definitions(zavro_libpng PRIVATE PNG_ARM_NEON_OPT=0 PNG_INTEL_SSE_OPT=0)
target_include_directories(zavro_libpng SYSTEM PUBLIC ${ZAVRO_LIBPNG_SOURCE_DIR} ${config_dir}
                           ${ZAVRO_ZLIB_INCLUDE})
target_link_libraries(zavro_libpng PUBLIC ${ZAVRO_ZLIB_STATIC})
target_link_libraries(zavro_png INTERFACE zavro_libpng)
