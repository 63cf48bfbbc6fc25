#include "viewer/view.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "support/support_state.h"
#include "window/window.h"

namespace {

// The zoom, held as a scene point pinned to a point of the window (both
// from the box's centre: the window's as -1..1 across, y up). Zooming again
// at the same window point then keeps the scene point exactly, however
// many notches it takes, and at rest the box is exactly +-20.
struct ViewZoom {
    double factor = 1.0;
    double windowX = 0.0, windowY = 0.0;
    double sceneX = 0.0, sceneY = 0.0;
};

struct ViewState {
    ViewAngles angles{0.0f, 0.0f};
    ViewZoom zoom;
    int width = 0, height = 0;  // of the client area, from reshapeView
    void (*drawer)() = nullptr;
    void (*frameReady)() = nullptr;
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

constexpr double kHalfWidth = 20.0;
constexpr double kMinZoom = 0.01, kMaxZoom = 100.0;

// Half the box's height at zoom 1: 20 divided by the width first, then
// multiplied by the height.
double halfHeight() { return (kHalfWidth / view.width) * view.height; }

void applyProjection() {
    const ViewZoom& zoom = view.zoom;
    const double halfX = kHalfWidth / zoom.factor, halfY = halfHeight() / zoom.factor;
    const double left = zoom.sceneX - (zoom.windowX + 1.0) * halfX;
    const double right = zoom.sceneX + (1.0 - zoom.windowX) * halfX;
    const double bottom = zoom.sceneY - (zoom.windowY + 1.0) * halfY;
    const double top = zoom.sceneY + (1.0 - zoom.windowY) * halfY;
    // Zoomed out, the depth grows with the box; zoomed in, it keeps all
    // that zoom 1 shows.
    const double depth = zoom.factor < 1.0 ? kHalfWidth / zoom.factor : kHalfWidth;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -depth, depth);
    glMatrixMode(GL_MODELVIEW);
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
    if (view.frameReady) view.frameReady();
    swapWindowBuffers();
}

void reshapeView(int width, int height) {
    if (width <= 0 || height <= 0) return;  // minimised: keep the last projection
    view.width = width;
    view.height = height;
    glViewport(0, 0, width, height);
    applyProjection();
    glLoadIdentity();
}

void setFrameReadyHook(void (*hook)()) { view.frameReady = hook; }

void viewSize(int& width, int& height) {
    width = view.width;
    height = view.height;
}

void zoomViewAt(double factor, double x, double y) {
    if (view.width <= 0 || view.height <= 0 || !(factor > 0.0) || !std::isfinite(factor)) return;
    ViewZoom& zoom = view.zoom;
    const double windowX = 2.0 * x / view.width - 1.0;
    const double windowY = 1.0 - 2.0 * y / view.height;
    // The scene point under (x, y) before the zoom becomes the pinned one.
    zoom.sceneX += (windowX - zoom.windowX) * kHalfWidth / zoom.factor;
    zoom.sceneY += (windowY - zoom.windowY) * halfHeight() / zoom.factor;
    zoom.windowX = windowX;
    zoom.windowY = windowY;
    zoom.factor = std::clamp(zoom.factor * factor, kMinZoom, kMaxZoom);
    applyProjection();
}

double viewZoom() { return view.zoom.factor; }

void resetZoom() {
    view.zoom = ViewZoom{};
    if (view.width > 0 && view.height > 0) applyProjection();
}

ViewAngles viewAngles() { return view.angles; }

void setViewAngles(float angleX, float angleY) { view.angles = {wrapped(angleX), wrapped(angleY)}; }

void turnView(float byX, float byY) {
    setViewAngles(view.angles.angleX + byX, view.angles.angleY + byY);
}

void resetView() {
    view.angles = {0.0f, 0.0f};
    view.zoom = ViewZoom{};
    view.frameMarked = false;
}
