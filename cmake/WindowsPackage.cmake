# The Windows zip (cpack): mirovan.exe, the GestionOpenGL library with its
# headers, glaux.h stand-in and CMake package, the scene host, the README,
# and the playground page when it has been built.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
# The page is built apart, with emscripten on Linux (make playground): the
# zip holds it beside the README when it is there at packaging time.
set(MIROVAN_PLAYGROUND_PAGE ${PROJECT_SOURCE_DIR}/build/playground/mirovan-playground.html
  CACHE FILEPATH "The playground page the zip holds, when it exists")
install(CODE "
  if(EXISTS \"${MIROVAN_PLAYGROUND_PAGE}\")
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}\" TYPE FILE FILES \"${MIROVAN_PLAYGROUND_PAGE}\")
  endif()")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Mirovan)
set(CPACK_PACKAGE_VENDOR Mirovan)
set(CPACK_PACKAGE_FILE_NAME Mirovan-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
