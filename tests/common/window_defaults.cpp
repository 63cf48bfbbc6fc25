#include "common/window_defaults.h"

#include <GL/gl.h>

#include "viewer/view.h"

void restoreWindowDefaults(int size) {
    glMatrixMode(GL_MODELVIEW);
    GLint depth = 1;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    while (depth-- > 1) glPopMatrix();
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1},
                black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    for (int k = 1; k < 8; ++k) glDisable(GL_LIGHT0 + k);
    glLoadIdentity();
    const float white[4] = {1, 1, 1, 1}, alongZ[4] = {0, 0, 1, 0};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_POSITION, alongZ);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180);
    myInit();
    reshapeView(size, size);
    while (glGetError() != GL_NO_ERROR) {
    }
}
