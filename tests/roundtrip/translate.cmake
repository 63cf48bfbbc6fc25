# cmake -DMIROVAN=... -DSCENE=... -DOUTPUT=... -P translate.cmake
# `mirovan -opengl SCENE OUTPUT` for the build, its echo kept out of the log.
execute_process(COMMAND ${MIROVAN} -opengl ${SCENE} ${OUTPUT}
  RESULT_VARIABLE status OUTPUT_VARIABLE echo ERROR_VARIABLE messages)
if(NOT status EQUAL 0 OR NOT EXISTS ${OUTPUT})
  message(FATAL_ERROR "mirovan -opengl ${SCENE} failed (${status}):\n${echo}${messages}")
endif()
