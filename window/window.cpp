// The one window, its context, the handler slots, the key table and the loop.

#include "window/window.h"

#include "window/key_codes.h"
#include "window/pixel_format.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

constexpr int kKeyTableCapacity = 64;

// X follows a resize with an expose of its own, a moment later. The paint
// the resize asks for waits that long for it so the two become one paint.
constexpr double kExposeWaitSeconds = 0.1;

struct KeyEntry {
    int code;
    void (*handler)();
};

struct WindowLayerState {
    GLFWwindow* window = nullptr;
    bool platformReady = false;
    int lastPlatformError = 0;
    int displayMode = ModeIndexColour;
    int frameX = 0, frameY = 0;  // requested corner of the outer frame
    int clientWidth = 100, clientHeight = 100;
    bool useDefaultPosition = true;
    bool keysRouted = false;
    bool paintPending = false;
    double exposeDeadline = 0;  // > 0: a resize paint waits for the expose
    bool insideEvents = false;  // GLFW is dispatching to our callbacks
    void (*reshapeHandler)(int, int) = nullptr;
    void (*displayHandler)() = nullptr;
    void (*idleHandler)() = nullptr;
    void (*timerHandler)() = nullptr;
    double timerInterval = 0;  // seconds between timer calls
    double nextTick = 0;
    KeyEntry keys[kKeyTableCapacity] = {};
    int keyCount = 0;
};

WindowLayerState state;

// The key table and the display mode outlive the window; nothing else does.
void releaseWindowResources() {
    GLFWwindow* window = state.window;
    state.window = nullptr;
    state.reshapeHandler = nullptr;
    state.displayHandler = nullptr;
    state.idleHandler = nullptr;
    state.timerHandler = nullptr;
    state.keysRouted = false;
    state.paintPending = false;
    state.exposeDeadline = 0;
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
    if (state.reshapeHandler) state.reshapeHandler(width, height);
}

void onFramebufferSize(GLFWwindow* window, int width, int height) {
    if (!accepting(window)) return;
    resized(width, height);
    if (!state.window) return;  // the reshape handler closed it
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
    if (!accepting(window) || !state.keysRouted) return;
    if (action != GLFW_PRESS && action != GLFW_REPEAT) return;
    if (const int code = codeForKey(key)) dispatchKey(code);
}

void onCharacter(GLFWwindow* window, unsigned int codepoint) {
    if (!accepting(window) || !state.keysRouted) return;
    if (const int code = codeForCharacter(codepoint)) dispatchKey(code);
}

void installCallbacks(GLFWwindow* window) {
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    glfwSetWindowIconifyCallback(window, onIconify);
    glfwSetWindowRefreshCallback(window, onRefresh);
    glfwSetKeyCallback(window, onKey);
    glfwSetCharCallback(window, onCharacter);
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

bool attemptOpen(const char* title) {
    if (!startPlatform()) {
        reportError("create window failed\n");
        return false;
    }
    if (!pixelFormatAvailable(state.displayMode)) {
        reportError("Selecting a pixel format failed\n");
        return false;
    }
    glfwDefaultWindowHints();
    hintPixelFormat(state.displayMode);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);  // shown once it stands in place

    state.lastPlatformError = 0;
    GLFWwindow* window =
        glfwCreateWindow(state.clientWidth, state.clientHeight, title, nullptr, nullptr);
    if (!window) {
        if (state.lastPlatformError == GLFW_FORMAT_UNAVAILABLE)
            reportError("Selecting a pixel format failed\n");
        else
            reportError("create window failed\n");
        return false;
    }
    state.window = window;
    installCallbacks(window);
    placeWindow(window);
    glfwShowWindow(window);

    glfwMakeContextCurrent(window);
    if (glfwGetCurrentContext() != window) {
        reportError("wglMakeCurrent Failed\n");
        releaseWindowResources();
        return false;
    }
    glfwSwapInterval(1);  // swaps follow the display's refresh: a steady spin
    return true;
}

// The loop's only place that may block. A paint already pending must not
// wait for some unrelated event to arrive first, nor a timer past its tick.
void waitForEvents() {
    if (!state.paintPending && state.timerHandler)
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
    if (!state.window || !state.timerHandler || glfwGetTime() < state.nextTick) return;
    state.nextTick = glfwGetTime() + state.timerInterval;
    state.timerHandler();
}

// All requests since the last paint end in this one call.
void deliverPendingPaint() {
    if (!state.window || !state.paintPending) return;
    if (state.exposeDeadline > 0 && glfwGetTime() < state.exposeDeadline) return;
    state.exposeDeadline = 0;
    state.paintPending = false;
    if (state.displayHandler) state.displayHandler();
}

}  // namespace

void setDisplayMode(int mode) { state.displayMode = mode; }

void setWindowPosition(int x, int y, int width, int height) {
    state.useDefaultPosition = x == INT_MIN;
    state.frameX = state.useDefaultPosition ? 0 : x;
    state.frameY = state.useDefaultPosition ? 0 : y;
    state.clientWidth = width;
    state.clientHeight = height;
}

int openWindow(const char* title) {
    if (state.window) {  // one window per process
        reportError("create window failed\n");
        return 0;
    }
    bool frontBufferOnly = false;
    if (!attemptOpen(title)) {
        if (state.displayMode & ModeDoubleBuffer) return 0;
        state.displayMode |= ModeDoubleBuffer;
        if (!attemptOpen(title)) return 0;
        reportWarning(
            "Can't initialize a single buffer visual. Will use a double buffer "
            "visual instead, only drawing into the front buffer.\n");
        frontBufferOnly = true;
    }
    state.reshapeHandler = defaultReshape;
    state.keysRouted = true;
    addKeyHandler(KeyEscape, quitOnEscape);

    glClearColor(0, 0, 0, 1);
    glClearIndex(0);
    glLoadIdentity();
    if (frontBufferOnly) glDrawBuffer(GL_FRONT);
    return 1;
}

void addKeyHandler(int code, void (*handler)()) {
    if (state.keyCount == kKeyTableCapacity) return;  // full: later registrations are dropped
    state.keys[state.keyCount++] = KeyEntry{code, handler};
}

void setReshapeHandler(void (*handler)(int, int)) { state.reshapeHandler = handler; }

void setIdleHandler(void (*handler)()) { state.idleHandler = handler; }

void setTimerHandler(void (*handler)(), double intervalSeconds) {
    state.timerHandler = handler;
    state.timerInterval = intervalSeconds;
    state.nextTick = state.platformReady ? glfwGetTime() + intervalSeconds : intervalSeconds;
}

int runMainLoop(void (*display)()) {
    state.displayHandler = display;
    if (!state.window) return 0;
    if (state.reshapeHandler) {
        int width = 0, height = 0;
        glfwGetFramebufferSize(state.window, &width, &height);
        state.reshapeHandler(width, height);
    }
    while (state.window) {
        // With an idle handler the loop never blocks: drain, paint, idle.
        processEvents(state.idleHandler == nullptr);
        runTimer();
        deliverPendingPaint();
        if (state.window && state.idleHandler) state.idleHandler();
    }
    return 0;
}

int swapWindowBuffers() {
    if (!state.window) return 0;
    glfwSwapBuffers(state.window);
    return 1;
}

void requestRedraw() {
    if (state.window) state.paintPending = true;
}

void dispatchKey(int code) {
    bool ran = false;
    for (int i = 0; i < state.keyCount; ++i) {
        if (state.keys[i].code == code && state.keys[i].handler) {
            state.keys[i].handler();
            ran = true;
        }
    }
    if (ran) requestRedraw();
}

void closeWindow() {
    if (!state.window) return;
    // GLFW forbids destroying a window from inside its own callbacks; the
    // loop destroys it as soon as the current batch of events is through.
    if (state.insideEvents)
        glfwSetWindowShouldClose(state.window, GLFW_TRUE);
    else
        releaseWindowResources();
}

void quitOnEscape() {
    // Destroying inside a callback is safe here only because control never
    // returns to GLFW.
    releaseWindowResources();
    std::exit(0);  // exit, not _exit: buffered standard output must reach its file
}
