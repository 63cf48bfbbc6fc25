# The Debian packages, one per install component (cpack -G DEB, or make
# package): mirovan_<version>-1_<arch>.deb and mirovan-dev_<version>-1_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mirovan)
set(CPACK_PACKAGE_VENDOR Mirovan)
set(CPACK_PACKAGE_CONTACT "Mirovan maintainers <maintainers@users.noreply.c-seed-0631a8c9.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Runtime GestionOpenGL)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${MIROVAN_DEBIAN_RELEASE})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME mirovan)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION graphics)
# What the programs link, read from them by dpkg-shlibdeps. GLFW's libGL
# brings Mesa with its software renderer, which libEGL's Mesa half also
# loads: the snapshots draw with it where there is no GPU.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "show a text 3D scene, or translate it to VRML, C++, HTML or glTF
Mirovan reads small 3D scenes written in a plain-text statement language
(cubes, spheres, cylinders, cones, transforms, materials and lights) and
shows them in an OpenGL window that follows every edit of the file, or
translates them to VRML 1.0, to C++ source that replays the scene through
OpenGL, to one self-contained web page, or to binary glTF 2.0.
mirovan-snapshot draws the window's picture without a display, as a PNG.")

set(CPACK_DEBIAN_GESTIONOPENGL_PACKAGE_NAME mirovan-dev)
set(CPACK_DEBIAN_GESTIONOPENGL_PACKAGE_SECTION libdevel)
# Static libraries only: what they need is what the programs built from
# them link, GL, GLU and GLFW, and the headers those come with.
set(CPACK_DEBIAN_GESTIONOPENGL_PACKAGE_DEPENDS
  "mirovan (= ${MIROVAN_DEBIAN_VERSION}), libgl-dev, libglu1-mesa-dev | libglu-dev, libglfw3-dev (>= 3.3)")
set(CPACK_DEBIAN_GESTIONOPENGL_PACKAGE_RECOMMENDS "pkg-config | cmake")
set(CPACK_DEBIAN_GESTIONOPENGL_DESCRIPTION "build C++ scenes written by mirovan into programs
The GestionOpenGL library (materials, lights and solids over OpenGL and
GLU) with its header, small stand-ins for the <windows.h> and
<GL/glaux.h> that the source written by mirovan -opengl includes, and the
scene host that supplies main() and the window. A pkg-config file
(mirovan-scene) and a CMake package (GestionOpenGL, with
mirovan_add_scene()) give the compiler and linker flags.")

include(CPack)
