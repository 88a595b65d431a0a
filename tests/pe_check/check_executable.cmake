# cmake -DOBJDUMP=... -DFORMAT=pei-i386|pei-x86-64 -DSETUPPACK=... -DFILE=EXE -P check_executable.cmake
#
# A delivered Windows executable: built for the right machine, importing
# system DLLs only (statically linked: no zlib1.dll, libgcc or libstdc++; and
# IMAGEHLP.DLL and RICHED20.DLL are loaded at run time, never imported), with
# a valid PE checksum.
cmake_minimum_required(VERSION 3.20)
foreach(var OBJDUMP FORMAT SETUPPACK FILE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_executable.cmake: ${var} is not set")
  endif()
endforeach()

set(system_dlls advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll
  ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${FILE}
  OUTPUT_VARIABLE headers RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${FILE} failed: ${errors}")
endif()

set(failures "")
if(NOT headers MATCHES "file format ${FORMAT}\n")
  string(REGEX MATCH "file format [^\n]*" found "${headers}")
  list(APPEND failures "expected file format ${FORMAT}, found '${found}'")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
  list(APPEND failures "no imports found")
endif()
set(names "")
foreach(line IN LISTS imports)
  string(REGEX REPLACE "^DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" lower)
  list(APPEND names ${dll})
  if(NOT lower IN_LIST system_dlls)
    list(APPEND failures "imports ${dll}, which is not a system DLL")
  endif()
endforeach()

execute_process(COMMAND ${SETUPPACK} checksum ${FILE}
  OUTPUT_VARIABLE checksum_output ERROR_VARIABLE checksum_output RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  list(APPEND failures "PE checksum is not valid: ${checksum_output}")
endif()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "${FILE}:\n  ${text}")
endif()
list(JOIN names ", " text)
message(STATUS "${FILE}: ${FORMAT}, imports ${text}; checksum valid")
