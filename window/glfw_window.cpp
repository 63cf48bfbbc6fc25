// The window layer on GLFW (Linux, and portable to macOS): the window, its
// context, redraw merging and the event loop.

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "glfw_keys.h"
#include "glfw_pixel_format.h"
#include "layer.h"
#include "window/window.h"

namespace {

// X follows a resize with an expose of its own, a moment later. The paint
// the resize asks for waits that long for it so the two become one paint.
constexpr double kExposeWaitSeconds = 0.1;

struct GlfwState {
    GLFWwindow* window = nullptr;
    bool platformReady = false;
    int lastPlatformError = 0;
    int frameX = 0, frameY = 0;  // requested corner of the outer frame
    int clientWidth = 100, clientHeight = 100;
    bool useDefaultPosition = true;
    bool paintPending = false;
    double exposeDeadline = 0;  // > 0: a resize paint waits for the expose
    bool insideEvents = false;  // GLFW is dispatching to our callbacks
    double nextTick = 0;
    bool dragging = false;            // the left button went down in the window
    double cursorX = 0, cursorY = 0;  // from the latest cursor event
    int dragX = 0, dragY = 0;         // where the last drag report left the cursor
    double wheelRest = 0;             // part of a notch, from smooth wheels
};

GlfwState state;

// The key table and the display mode outlive the window; nothing else does.
void releaseWindowResources() {
    GLFWwindow* window = state.window;
    state.window = nullptr;
    state.paintPending = false;
    state.exposeDeadline = 0;
    state.dragging = false;
    state.wheelRest = 0;
    layerReleaseHandlers();
    if (window) {
        glfwMakeContextCurrent(nullptr);
        glfwDestroyWindow(window);
    }
}

void destroyIfClosing() {
    if (state.window && glfwWindowShouldClose(state.window)) releaseWindowResources();
}

// Events queued behind a close request belong to a window on its way out.
bool accepting(GLFWwindow* window) {
    return window == state.window && !glfwWindowShouldClose(window);
}

void onPlatformError(int code, const char* description) {
    state.lastPlatformError = code;
    reportError("%s\n", description);
}

void resized(int width, int height) {
    state.clientWidth = width;
    state.clientHeight = height;
    layerReshape(width, height);
}

void onFramebufferSize(GLFWwindow* window, int width, int height) {
    if (!accepting(window)) return;
    resized(width, height);
    if (!accepting(window)) return;  // the reshape handler closed it
    requestRedraw();
    state.exposeDeadline = glfwGetTime() + kExposeWaitSeconds;
}

void onIconify(GLFWwindow* window, int iconified) {
    if (!accepting(window)) return;
    if (iconified) {
        resized(0, 0);  // nothing to paint while minimised
        return;
    }
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    onFramebufferSize(window, width, height);
}

void onRefresh(GLFWwindow* window) {
    if (!accepting(window)) return;
    state.exposeDeadline = 0;
    requestRedraw();
}

void onKey(GLFWwindow* window, int key, int, int action, int) {
    if (!accepting(window) || !layerKeysRouted()) return;
    if (action != GLFW_PRESS && action != GLFW_REPEAT) return;
    if (const int code = codeForKey(key)) dispatchKey(code);
}

void onCharacter(GLFWwindow* window, unsigned int codepoint) {
    if (!accepting(window) || !layerKeysRouted()) return;
    if (const int code = codeForCharacter(codepoint)) dispatchKey(code);
}

// The cursor as the events place it: asking X where it is now would see
// moves still queued behind the event at hand. X grabs the pointer while a
// button is held, so a drag goes on outside the window until it comes up.
int pixelOf(double coordinate) { return static_cast<int>(std::floor(coordinate)); }

void onMouseButton(GLFWwindow* window, int button, int action, int) {
    if (!accepting(window) || button != GLFW_MOUSE_BUTTON_LEFT) return;
    state.dragging = action == GLFW_PRESS && layerKeysRouted();
    state.dragX = pixelOf(state.cursorX);
    state.dragY = pixelOf(state.cursorY);
}

void onCursor(GLFWwindow* window, double x, double y) {
    if (!accepting(window)) return;
    state.cursorX = x;
    state.cursorY = y;
    if (!state.dragging || !layerKeysRouted()) return;
    const int dx = pixelOf(x) - state.dragX, dy = pixelOf(y) - state.dragY;
    state.dragX = pixelOf(x);
    state.dragY = pixelOf(y);
    dispatchDrag(dx, dy);
}

// Whole notches only: a smooth wheel's fractions add up to one first.
void onScroll(GLFWwindow* window, double, double offset) {
    if (!accepting(window) || !layerKeysRouted()) return;
    state.wheelRest += offset;
    const double notches = std::trunc(state.wheelRest);
    if (notches == 0) return;
    state.wheelRest -= notches;
    dispatchWheel(static_cast<int>(notches), pixelOf(state.cursorX), pixelOf(state.cursorY));
}

void installCallbacks(GLFWwindow* window) {
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    glfwSetWindowIconifyCallback(window, onIconify);
    glfwSetWindowRefreshCallback(window, onRefresh);
    glfwSetKeyCallback(window, onKey);
    glfwSetCharCallback(window, onCharacter);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetCursorPosCallback(window, onCursor);
    glfwSetScrollCallback(window, onScroll);
}

bool startPlatform() {
    if (!state.platformReady) {
        glfwSetErrorCallback(onPlatformError);
        state.platformReady = glfwInit() == GLFW_TRUE;
    }
    return state.platformReady;
}

// GLFW places the client area; the caller gave the outer frame's corner, so
// the frame must be measured first (it is 0 without a window manager).
void placeWindow(GLFWwindow* window) {
    if (state.useDefaultPosition) return;
    int left = 0, top = 0, right = 0, bottom = 0;
    glfwGetWindowFrameSize(window, &left, &top, &right, &bottom);
    glfwSetWindowPos(window, state.frameX + left, state.frameY + top);
}

// The loop's only place that may block. A paint already pending must not
// wait for some unrelated event to arrive first, nor a timer past its tick.
void waitForEvents() {
    if (!state.paintPending && layerTimerInterval() > 0)
        glfwWaitEventsTimeout(std::max(0.0, state.nextTick - glfwGetTime()));
    else if (!state.paintPending)
        glfwWaitEvents();
    else if (state.exposeDeadline > 0)
        glfwWaitEventsTimeout(std::max(0.0, state.exposeDeadline - glfwGetTime()));
    else
        glfwPollEvents();
}

void processEvents(bool mayWait) {
    state.insideEvents = true;
    if (mayWait)
        waitForEvents();
    else
        glfwPollEvents();
    state.insideEvents = false;
    destroyIfClosing();
}

void runTimer() {
    if (!state.window || layerTimerInterval() <= 0 || glfwGetTime() < state.nextTick) return;
    state.nextTick = glfwGetTime() + layerTimerInterval();
    layerTimer();
}

// All requests since the last paint end in this one call.
void deliverPendingPaint() {
    if (!state.window || !state.paintPending) return;
    if (state.exposeDeadline > 0 && glfwGetTime() < state.exposeDeadline) return;
    state.exposeDeadline = 0;
    state.paintPending = false;
    layerDisplay();
}

}  // namespace

void platformSetPosition(int x, int y, int width, int height, bool useDefault) {
    state.useDefaultPosition = useDefault;
    state.frameX = x;
    state.frameY = y;
    state.clientWidth = width;
    state.clientHeight = height;
}

bool platformOpenAttempt(const char* title, int displayMode) {
    if (!startPlatform()) {
        reportError("%s", kCreateWindowFailed);
        return false;
    }
    if (!pixelFormatAvailable(displayMode)) {
        reportError("%s", kNoPixelFormat);
        return false;
    }
    glfwDefaultWindowHints();
    hintPixelFormat(displayMode);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);  // shown once it stands in place

    state.lastPlatformError = 0;
    GLFWwindow* window =
        glfwCreateWindow(state.clientWidth, state.clientHeight, title, nullptr, nullptr);
    if (!window) {
        if (state.lastPlatformError == GLFW_FORMAT_UNAVAILABLE)
            reportError("%s", kNoPixelFormat);
        else
            reportError("%s", kCreateWindowFailed);
        return false;
    }
    state.window = window;
    glfwGetCursorPos(window, &state.cursorX, &state.cursorY);
    installCallbacks(window);
    placeWindow(window);
    glfwShowWindow(window);

    glfwMakeContextCurrent(window);
    if (glfwGetCurrentContext() != window) {
        reportError("%s", kMakeCurrentFailed);
        releaseWindowResources();
        return false;
    }
    glfwSwapInterval(1);  // swaps follow the display's refresh: a steady spin
    return true;
}

bool platformHasWindow() { return state.window != nullptr; }

void platformClientSize(int& width, int& height) {
    glfwGetFramebufferSize(state.window, &width, &height);
}

void platformRunLoop() {
    while (state.window) {
        // With an idle handler the loop never blocks: drain, paint, idle.
        processEvents(!layerHasIdle());
        runTimer();
        deliverPendingPaint();
        if (state.window) layerIdle();
    }
}

int platformSwapBuffers() {
    if (!state.window) return 0;
    glfwSwapBuffers(state.window);
    return 1;
}

void platformRequestRedraw() {
    if (state.window) state.paintPending = true;
}

void platformDestroyWindow() {
    if (!state.window) return;
    // GLFW forbids destroying a window from inside its own callbacks; the
    // loop destroys it as soon as the current batch of events is through.
    if (state.insideEvents)
        glfwSetWindowShouldClose(state.window, GLFW_TRUE);
    else
        releaseWindowResources();
}

void platformTimerChanged() {
    state.nextTick = (state.platformReady ? glfwGetTime() : 0) + layerTimerInterval();
}

void platformShowMessage(const char* caption, const char* text) {
    // Caption and text leave in one write so messages never interleave.
    std::fprintf(stderr, "%s: %s", caption, text);
}
