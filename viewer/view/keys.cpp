#include "viewer/keys.h"

#include <cstdlib>

#include "viewer/view.h"
#include "window/window.h"

namespace {

struct SpinState {
    bool enabled = false;
};

SpinState spin;

}  // namespace

void increaseAngleX() { turnView(1.0f, 0.0f); }
void decreaseAngleX() { turnView(-1.0f, 0.0f); }
void decreaseAngleY() { turnView(0.0f, -1.0f); }
void increaseAngleY() { turnView(0.0f, 1.0f); }

// Dragging right turns as Left does, dragging down as Up: the scene follows
// the hand. The spin, if it runs, goes on from the new angles.
void dragView(int dx, int dy) { turnView(kDragDegreesPerPixel * dy, kDragDegreesPerPixel * dx); }

// One product per notch, as the notches arrive one by one: the same zoom
// whichever way a platform groups them, and no libm in the way.
void wheelZoom(int notches, int x, int y) {
    double factor = 1.0;
    for (int i = 0; i < std::abs(notches); ++i) factor *= kZoomPerNotch;
    zoomViewAt(notches > 0 ? factor : 1.0 / factor, x, y);
}

void homeView() {
    setViewAngles(0.0f, 0.0f);
    resetZoom();
}

void toggleSpin() {
    spin.enabled = !spin.enabled;
    setIdleHandler(spin.enabled ? spinIdle : nullptr);
}

void spinIdle() {
    if (!spin.enabled) return;
    turnView(-1.0f, -1.0f);
    displayFrame();
}

bool spinning() { return spin.enabled; }

void stopSpin() {
    if (spin.enabled) toggleSpin();
}
