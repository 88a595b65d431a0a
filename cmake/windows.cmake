# Settings of the Windows build: static, self-contained executables that
# import system DLLs only, built reproducibly.

# Structure sizes depend on it: Windows 7 and later.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX STRICT)
add_link_options(-static -static-libgcc -static-libstdc++)

# Reproducible builds: no build paths in the objects, and one fixed time for
# everything that records one. GNU ld takes the PE header's time stamp from
# SOURCE_DATE_EPOCH (and then writes the CheckSum over the final bytes); the
# packaging tool clamps the package's file times to it. The value is fixed
# when the tree is configured, so every later build gives the same bytes.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=src -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  set(setup_default_epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE setup_default_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT setup_default_epoch MATCHES "^[0-9]+$")
    set(setup_default_epoch 1767225600)  # 2026-01-01 00:00:00 UTC
  endif()
endif()
set(SETUP_SOURCE_DATE_EPOCH ${setup_default_epoch} CACHE STRING
  "Time (Unix seconds) recorded in the executables and the package")
set(SETUP_WITH_EPOCH ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${SETUP_SOURCE_DATE_EPOCH})
set(CMAKE_C_LINKER_LAUNCHER ${SETUP_WITH_EPOCH})
set(CMAKE_CXX_LINKER_LAUNCHER ${SETUP_WITH_EPOCH})

# zlib from libz-mingw-w64-dev, linked statically (its import library would
# make the setup depend on zlib1.dll).
set(SETUP_MINGW_ZLIB ${CMAKE_FIND_ROOT_PATH}/lib/libz.a)
if(NOT EXISTS ${SETUP_MINGW_ZLIB})
  message(FATAL_ERROR "${SETUP_MINGW_ZLIB} is missing: install libz-mingw-w64-dev")
endif()
add_library(ZLIB::ZLIB STATIC IMPORTED)
set_target_properties(ZLIB::ZLIB PROPERTIES
  IMPORTED_LOCATION ${SETUP_MINGW_ZLIB}
  INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_FIND_ROOT_PATH}/include)

# The host packaging tool makes the package resource.
set(SETUPPACK "" CACHE FILEPATH "The host build's setuppack tool")
if(NOT SETUPPACK)
  message(FATAL_ERROR "Set SETUPPACK to the host build's tools/setuppack")
endif()

# The artwork scripts and the help file's time fix are Python programs.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The demo product's package (product/): the file and the target that makes it.
set(SETUP_PRODUCT_PACKAGE ${CMAKE_BINARY_DIR}/package.bin)
set(SETUP_PRODUCT_PACKAGE_TARGET product_package)
include(${CMAKE_CURRENT_LIST_DIR}/package_resource.cmake)

# Whether this tree's Windows programs are run under wine here (tests and
# end-to-end scenarios). Off for a tree that is only built and inspected.
option(SETUP_WINE_TESTS "Run this tree's Windows tests under wine" ON)
set(SETUP_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/wine/wine-run.sh)
set(SETUP_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "The wine prefix of this tree")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(SETUP_WINE_LOADER wine64)
else()
  set(SETUP_WINE_LOADER wine)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${SETUP_WINE_RUN} --prefix ${SETUP_WINEPREFIX} --loader ${SETUP_WINE_LOADER} --)
