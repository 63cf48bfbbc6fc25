#include <GL/gl.h>

#include "viewer/view.h"

// On its own: a generated source brings a myInit of its own, and then this
// one is never linked in.
void myInit() {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}
