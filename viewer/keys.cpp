#include "viewer/keys.h"

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
