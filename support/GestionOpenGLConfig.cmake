# Package file for the GestionOpenGL support library.
include(CMakeFindDependencyMacro)
if(WIN32)
  find_dependency(OpenGL)  # opengl32 and glu32
else()
  find_dependency(OpenGL COMPONENTS OpenGL)
endif()
if(NOT TARGET OpenGL::GLU)
  set(GestionOpenGL_FOUND FALSE)
  set(GestionOpenGL_NOT_FOUND_MESSAGE "GLU was not found")
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/GestionOpenGLTargets.cmake)

# The scene host behind mirovan_add_scene() opens its window with GLFW.
find_package(glfw3 3.3 QUIET)
include(${CMAKE_CURRENT_LIST_DIR}/MirovanScene.cmake)
