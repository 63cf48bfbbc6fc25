// Stand-in for the GLAUX header that sources written by `mirovan -opengl`
// include. The only aux operations such a source calls, auxSolidBox and
// auxSolidSphere, belong to the support module, so this header hands over
// its one declaration of each instead of declaring them a second time.
#ifndef MIROVAN_COMPAT_GL_GLAUX_H
#define MIROVAN_COMPAT_GL_GLAUX_H

#include <GL/gl.h>

#include "GestionOpenGL.h"

#endif
