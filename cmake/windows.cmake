# Settings of the Windows build: static, self-contained executables that
# import system DLLs only.

# Structure sizes depend on it: Windows 7 and later.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX STRICT)
add_link_options(-static -static-libgcc -static-libstdc++)

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
