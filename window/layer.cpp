// The platform-neutral half of the window layer: handler slots, the key
// table, the display-mode word and the order in which a window is opened.

#include "window/window.h"

#include <GL/gl.h>

#include <climits>

#include "layer.h"

namespace {

constexpr int kKeyTableCapacity = 64;

struct KeyEntry {
    int code;
    void (*handler)();
};

struct LayerState {
    int displayMode = ModeIndexColour;
    bool keysRouted = false;
    bool leaving = false;  // Escape ran: the rest of its key entries do not
    void (*reshapeHandler)(int, int) = nullptr;
    void (*displayHandler)() = nullptr;
    void (*idleHandler)() = nullptr;
    void (*timerHandler)() = nullptr;
    double timerInterval = 0;
    void (*dragHandler)(int, int) = nullptr;
    void (*wheelHandler)(int, int, int) = nullptr;
    KeyEntry keys[kKeyTableCapacity] = {};
    int keyCount = 0;
};

LayerState layer;

}  // namespace

void setDisplayMode(int mode) { layer.displayMode = mode; }

void setWindowPosition(int x, int y, int width, int height) {
    const bool useDefault = x == INT_MIN;
    platformSetPosition(useDefault ? 0 : x, useDefault ? 0 : y, width, height, useDefault);
}

int openWindow(const char* title) {
    if (platformHasWindow()) {  // one window per process
        reportError("%s", kCreateWindowFailed);
        return 0;
    }
    bool frontBufferOnly = false;
    if (!platformOpenAttempt(title, layer.displayMode)) {
        if (layer.displayMode & ModeDoubleBuffer) return 0;
        layer.displayMode |= ModeDoubleBuffer;
        if (!platformOpenAttempt(title, layer.displayMode)) return 0;
        reportWarning(
            "Can't initialize a single buffer visual. Will use a double buffer "
            "visual instead, only drawing into the front buffer.\n");
        frontBufferOnly = true;
    }
    layer.reshapeHandler = defaultReshape;
    layer.keysRouted = true;
    layer.leaving = false;
    addKeyHandler(KeyEscape, quitOnEscape);

    glClearColor(0, 0, 0, 1);
    glClearIndex(0);
    glLoadIdentity();
    if (frontBufferOnly) glDrawBuffer(GL_FRONT);
    return 1;
}

void addKeyHandler(int code, void (*handler)()) {
    if (layer.keyCount == kKeyTableCapacity) return;  // full: later registrations are dropped
    layer.keys[layer.keyCount++] = KeyEntry{code, handler};
}

void setReshapeHandler(void (*handler)(int, int)) { layer.reshapeHandler = handler; }

void setIdleHandler(void (*handler)()) { layer.idleHandler = handler; }

void setDragHandler(void (*handler)(int, int)) { layer.dragHandler = handler; }

void setWheelHandler(void (*handler)(int, int, int)) { layer.wheelHandler = handler; }

void setTimerHandler(void (*handler)(), double intervalSeconds) {
    layer.timerHandler = handler;
    layer.timerInterval = handler ? intervalSeconds : 0;
    platformTimerChanged();
}

int runMainLoop(void (*display)()) {
    layer.displayHandler = display;
    if (!platformHasWindow()) return 0;
    if (layer.reshapeHandler) {
        int width = 0, height = 0;
        platformClientSize(width, height);
        layer.reshapeHandler(width, height);
    }
    platformRunLoop();
    return 0;
}

int swapWindowBuffers() { return platformSwapBuffers(); }

void requestRedraw() { platformRequestRedraw(); }

void dispatchKey(int code) {
    bool ran = false;
    for (int i = 0; i < layer.keyCount && !layer.leaving; ++i) {
        if (layer.keys[i].code == code && layer.keys[i].handler) {
            layer.keys[i].handler();
            ran = true;
        }
    }
    if (ran) requestRedraw();
}

void dispatchDrag(int dx, int dy) {
    if (!layer.dragHandler || layer.leaving || (dx == 0 && dy == 0)) return;
    layer.dragHandler(dx, dy);
    requestRedraw();
}

void dispatchWheel(int notches, int x, int y) {
    if (!layer.wheelHandler || layer.leaving || notches == 0) return;
    layer.wheelHandler(notches, x, y);
    requestRedraw();
}

void closeWindow() { platformDestroyWindow(); }

// The program leaves through the loop's return and main, like after the
// close box, so that main's final flush decides the exit status.
void quitOnEscape() {
    layer.leaving = true;
    closeWindow();
}

void layerReshape(int width, int height) {
    if (layer.reshapeHandler) layer.reshapeHandler(width, height);
}

void layerDisplay() {
    if (layer.displayHandler) layer.displayHandler();
}

bool layerHasIdle() { return layer.idleHandler != nullptr; }

void layerIdle() {
    if (layer.idleHandler) layer.idleHandler();
}

void layerTimer() {
    if (layer.timerHandler) layer.timerHandler();
}

double layerTimerInterval() { return layer.timerInterval; }

bool layerKeysRouted() { return layer.keysRouted; }

void layerReleaseHandlers() {
    layer.reshapeHandler = nullptr;
    layer.displayHandler = nullptr;
    layer.idleHandler = nullptr;
    layer.timerHandler = nullptr;
    layer.timerInterval = 0;
    layer.keysRouted = false;
}
