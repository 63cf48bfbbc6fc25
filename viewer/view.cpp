#include <GL/gl.h>

#include <cmath>

#include "scene/console.h"
#include "support/support_state.h"
#include "viewer/viewer.h"
#include "window/window.h"

namespace {

struct ViewerState {
    float angleX = 0.0f;
    float angleY = 0.0f;
    int spinEnabled = 0;
    void (*drawer)() = nullptr;  // draws the scene in place of the file
    bool frameMarked = false;    // the first frame's starting state is remembered
};

ViewerState viewer;

// Every frame starts from the material, lights and stack depths the first
// frame started with, whatever the scene's Push / Pop balance, top-level
// lights or materials: frame 1 is then every later frame.
void startFrameState() {
    if (!viewer.frameMarked) {
        markFrameStart();
        viewer.frameMarked = true;
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

void turn(float byX, float byY) {
    viewer.angleX = wrapped(viewer.angleX + byX);
    viewer.angleY = wrapped(viewer.angleY + byY);
}

}  // namespace

void setFrameDrawer(void (*draw)()) { viewer.drawer = draw; }

void displayFrame() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    startFrameState();

    GLint startDepth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &startDepth);
    glPushMatrix();
    glRotatef(viewer.angleX, 1.0f, 0.0f, 0.0f);
    glRotatef(viewer.angleY, 0.0f, 1.0f, 0.0f);
    if (viewer.drawer)
        viewer.drawer();
    else
        drawScene();
    glPopMatrix();
    endFrameMatrix(startDepth);

    glFlush();
    swapWindowBuffers();
    consoleFlush();  // the frame's echo, in one piece
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

void increaseAngleX() { turn(1.0f, 0.0f); }
void decreaseAngleX() { turn(-1.0f, 0.0f); }
void decreaseAngleY() { turn(0.0f, -1.0f); }
void increaseAngleY() { turn(0.0f, 1.0f); }
// The spin's idle handler is installed only while it runs, so that a still
// view leaves the event loop waiting instead of turning.
void toggleSpin() {
    viewer.spinEnabled = viewer.spinEnabled == 0 ? 1 : 0;
    setIdleHandler(viewer.spinEnabled ? spinIdle : nullptr);
}

void spinIdle() {
    if (viewer.spinEnabled == 0) return;
    turn(-1.0f, -1.0f);
    displayFrame();
}

ViewState viewState() { return {viewer.angleX, viewer.angleY, viewer.spinEnabled}; }

void setViewAngles(float angleX, float angleY) {
    viewer.angleX = wrapped(angleX);
    viewer.angleY = wrapped(angleY);
}

void resetView() {
    viewer.angleX = viewer.angleY = 0.0f;
    viewer.spinEnabled = 0;
    setIdleHandler(nullptr);
    viewer.frameMarked = false;
}
