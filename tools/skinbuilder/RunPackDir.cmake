# Runs packdir (a Windows program) through the cross-compiling emulator:
#   cmake -DEMULATOR=wine -DTOOL=packdir.exe -DSRC=folder -DOUT=file -DLOG=file
#         [-DPREFIX=wine-prefix] -P RunPackDir.cmake
# Its output goes to LOG, not to the build tool's pipes: a Wine server that
# this run starts would inherit those pipes and keep the build waiting.
if(NOT DEFINED ENV{WINEPREFIX} AND DEFINED PREFIX AND EXISTS "${PREFIX}")
  set(ENV{WINEPREFIX} "${PREFIX}")
endif()
if(NOT DEFINED ENV{WINEDEBUG})
  set(ENV{WINEDEBUG} "-all")
endif()

if(NOT EMULATOR OR EMULATOR MATCHES "NOTFOUND")
  message(FATAL_ERROR "packdir is a Windows program: the build needs Wine (CMAKE_CROSSCOMPILING_EMULATOR)")
endif()

file(REMOVE "${OUT}")
execute_process(
  COMMAND ${EMULATOR} "${TOOL}" "${SRC}" "${OUT}"
  INPUT_FILE /dev/null
  OUTPUT_FILE "${LOG}"
  ERROR_FILE "${LOG}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS "${OUT}")
  file(READ "${LOG}" output)
  message(FATAL_ERROR "packdir failed (${status}):\n${output}")
endif()
