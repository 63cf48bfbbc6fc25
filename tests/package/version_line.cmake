# cmake -DPROGRAM=<program> -DEXPECTED=<line> -P version_line.cmake
execute_process(COMMAND ${PROGRAM} --version
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT EXPECTED MATCHES "^[a-z-]+ [0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "'${EXPECTED}' is not a program name and a version")
endif()
if(NOT status STREQUAL "0" OR NOT out STREQUAL "${EXPECTED}\n" OR NOT err STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --version: status ${status}, printed '${out}', on standard error '${err}'; "
    "expected '${EXPECTED}' and a line end, status 0")
endif()
