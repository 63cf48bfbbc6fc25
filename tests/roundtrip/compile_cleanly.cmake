# cmake -DCOMPILER=... -DINCLUDES=dir;... -DSOURCES=file;... -P compile_cleanly.cmake
# Compiles each generated source as it is, with warnings as errors. The
# stricter warnings are there for what a user may turn on: the compat
# headers must neither redeclare the support module's solids nor bring
# anything a pedantic build objects to.
set(flags -std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Wredundant-decls -Werror)
set(include_flags)
foreach(dir IN LISTS INCLUDES)
  list(APPEND include_flags -I${dir})
endforeach()
set(failed 0)
foreach(source IN LISTS SOURCES)
  execute_process(COMMAND ${COMPILER} ${flags} ${include_flags} -c ${source} -o /dev/null
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    message(SEND_ERROR "${source} does not compile cleanly:\n${out}${err}")
    set(failed 1)
  endif()
endforeach()
list(LENGTH SOURCES count)
if(count EQUAL 0)
  message(FATAL_ERROR "no sources given")
endif()
if(NOT failed)
  message(STATUS "${count} generated sources compile without a warning")
endif()
