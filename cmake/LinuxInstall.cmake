# What `cmake --install` puts beside the programs on Linux, and the two
# Debian packages that `cpack -G DEB` (make package) makes of it:
#   mirovan      the programs, their manual pages, the README and examples,
#                the playground page when it has been built
#   mirovan-dev  the GestionOpenGL component: headers, static libraries,
#                pkg-config file and CMake package for generated source
set(MIROVAN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/mirovan)

# Compressed as Debian keeps documentation: best compression, and no name
# or time stamp in the header, so that the same text gives the same bytes.
function(mirovan_gzip file)
  execute_process(COMMAND gzip -9nkf ${file} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${file}")
  endif()
endfunction()

# Writes <text> to <file> and compresses it, only when the text changed.
function(mirovan_write_gzipped file text)
  if(EXISTS ${file} AND EXISTS ${file}.gz)
    file(READ ${file} old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE ${file} "${text}")
  mirovan_gzip(${file})
endfunction()

# The manual pages carry the project's version in their header line.
foreach(page mirovan mirovan-snapshot)
  set(source ${PROJECT_SOURCE_DIR}/doc/${page}.1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} text)
  string(REGEX REPLACE "^(\\.TH [^\n]*\"Mirovan)\"" "\\1 ${PROJECT_VERSION}\"" text "${text}")
  mirovan_write_gzipped(${PROJECT_BINARY_DIR}/doc/${page}.1 "${text}")
  install(FILES ${PROJECT_BINARY_DIR}/doc/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${MIROVAN_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${MIROVAN_DOC_DIR}/examples
  FILES_MATCHING PATTERN "*.scn")

# The playground page is built apart; it is installed when it is there at
# install time (install(FILES OPTIONAL) would leave an empty folder).
set(MIROVAN_PLAYGROUND_PAGE ${PROJECT_SOURCE_DIR}/build/playground/mirovan-playground.html
  CACHE FILEPATH "The playground page installed in share/mirovan, when it exists")
install(CODE "
  if(EXISTS \"${MIROVAN_PLAYGROUND_PAGE}\")
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mirovan\"
      TYPE FILE FILES \"${MIROVAN_PLAYGROUND_PAGE}\")
  endif()")

# Debian's own files, in each package's documentation folder: installed by
# the packages only (EXCLUDE_FROM_ALL keeps them out of a plain install).
set(MIROVAN_DEBIAN_RELEASE 1)
set(MIROVAN_DEBIAN_VERSION ${PROJECT_VERSION}-${MIROVAN_DEBIAN_RELEASE})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in
  ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
mirovan_gzip(${PROJECT_BINARY_DIR}/debian/changelog.Debian)
set(MIROVAN_DEBIAN_FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
  ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
install(FILES ${MIROVAN_DEBIAN_FILES} DESTINATION ${MIROVAN_DOC_DIR}
  COMPONENT Runtime EXCLUDE_FROM_ALL)
install(FILES ${MIROVAN_DEBIAN_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mirovan-dev
  COMPONENT GestionOpenGL EXCLUDE_FROM_ALL)

include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
