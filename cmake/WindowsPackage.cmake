# The Windows zip (cpack): mirovan.exe, the GestionOpenGL library with its
# headers, glaux.h stand-in and CMake package, the scene host, the README.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Mirovan)
set(CPACK_PACKAGE_VENDOR Mirovan)
set(CPACK_PACKAGE_FILE_NAME Mirovan-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
