// Stand-in for the Windows system header that sources written by
// `mirovan -opengl` include first. On Windows it precedes <GL/gl.h>; here
// Mesa's <GL/gl.h> needs nothing from it, so it deliberately defines nothing
// (no APIENTRY, WINGDIAPI or _WIN32, which would change how GL/gl.h reads).
#ifndef MIROVAN_COMPAT_WINDOWS_H
#define MIROVAN_COMPAT_WINDOWS_H
#endif
