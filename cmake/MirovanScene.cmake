# mirovan_add_scene(<target> <generated.cpp>)
#
# Builds a source written by `mirovan -opengl` into the executable <target>,
# which shows the scene in a window the way `mirovan -ecran` does (arrows
# turn the view, Return spins, Escape quits). The source is used as it is.
#
#   find_package(GestionOpenGL REQUIRED)
#   mirovan_add_scene(robot robot.cpp)
function(mirovan_add_scene target source)
  if(NOT ARGC EQUAL 2)
    message(FATAL_ERROR "mirovan_add_scene(<target> <generated.cpp>) takes exactly two arguments")
  endif()
  # Installed, the host's window needs GLFW from the system (libglfw3-dev).
  get_target_property(installed GestionOpenGL::mirovan_scenehost IMPORTED)
  if(installed AND NOT WIN32 AND NOT TARGET glfw)
    message(FATAL_ERROR "mirovan_add_scene: GLFW 3.3 or later was not found; it opens the scene's window")
  endif()
  add_executable(${target} ${source})
  target_link_libraries(${target} PRIVATE GestionOpenGL::mirovan_scenehost)
endfunction()
