#include "viewer/view.h"

#include <GL/gl.h>

#include <cmath>

#include "support/support_state.h"
#include "window/window.h"

namespace {

struct ViewState {
    ViewAngles angles{0.0f, 0.0f};
    void (*drawer)() = nullptr;
    bool frameMarked = false;  // the first frame's starting state is remembered
};

ViewState view;

// Every frame starts from the material, lights and stack depths the first
// frame started with, whatever the scene's Push / Pop balance, top-level
// lights or materials: frame 1 is then every later frame.
void startFrameState() {
    if (!view.frameMarked) {
        markFrameStart();
        view.frameMarked = true;
    } else {
        restoreFrameStart();
    }
}

// Back to the modelview stack depth the frame began at, and to the identity
// that reshapeView leaves, so unbalanced brackets cannot drift the view.
void endFrameMatrix(GLint startDepth) {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    for (; depth > startDepth; --depth) glPopMatrix();
    glLoadIdentity();
    while (glGetError() != GL_NO_ERROR) {
        // Stack underflows and refused values of the scene: nothing to report.
    }
}

// Whole turns dropped: a float far from 0 would step by more or less than
// one degree.
float wrapped(float degrees) {
    if (!std::isfinite(degrees)) return 0.0f;
    float angle = std::fmod(degrees, 360.0f);
    if (angle < 0.0f) angle += 360.0f;
    return angle < 360.0f ? angle : 0.0f;  // a tiny negative rounds up to 360
}

}  // namespace

void setFrameDrawer(void (*draw)()) { view.drawer = draw; }

void displayFrame() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    startFrameState();

    GLint startDepth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &startDepth);
    glPushMatrix();
    glRotatef(view.angles.angleX, 1.0f, 0.0f, 0.0f);
    glRotatef(view.angles.angleY, 0.0f, 1.0f, 0.0f);
    if (view.drawer) view.drawer();
    glPopMatrix();
    endFrameMatrix(startDepth);

    glFlush();
    swapWindowBuffers();
}

void reshapeView(int width, int height) {
    if (width <= 0 || height <= 0) return;  // minimised: keep the last projection
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double top = (20.0 / width) * height;
    const double bottom = (-20.0 / width) * height;
    glOrtho(-20.0, 20.0, bottom, top, -20.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

ViewAngles viewAngles() { return view.angles; }

void setViewAngles(float angleX, float angleY) { view.angles = {wrapped(angleX), wrapped(angleY)}; }

void turnView(float byX, float byY) {
    setViewAngles(view.angles.angleX + byX, view.angles.angleY + byY);
}

void resetView() {
    view.angles = {0.0f, 0.0f};
    view.frameMarked = false;
}
