# Package file for the GestionOpenGL support library.
include(CMakeFindDependencyMacro)
find_dependency(OpenGL COMPONENTS OpenGL)
if(NOT TARGET OpenGL::GLU)
  set(GestionOpenGL_FOUND FALSE)
  set(GestionOpenGL_NOT_FOUND_MESSAGE "GLU was not found")
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/GestionOpenGLTargets.cmake)
