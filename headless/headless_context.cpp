// EGL on Mesa's surfaceless platform with a pbuffer surface; the only place
// in the project that speaks EGL.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdarg>
#include <cstdio>

#include "headless/headless.h"
#include "headless_internal.h"

namespace {

struct HeadlessState {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    int width = 0;
    int height = 0;
    char error[256] = "";
};
HeadlessState state;

__attribute__((format(printf, 1, 2))) bool fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(state.error, sizeof state.error, format, args);
    va_end(args);
    closeHeadlessContext();
    return false;
}

EGLint attrib(EGLConfig config, EGLint name) {
    EGLint value = -1;
    eglGetConfigAttrib(state.display, config, name, &value);
    return value;
}

// Mesa lists deeper colour first, so walk for the exact window format.
bool pickConfig(EGLConfig& chosen) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             16,
                             EGL_NONE};
    EGLConfig configs[256];
    EGLint count = 0;
    if (!eglChooseConfig(state.display, wanted, configs, 256, &count)) return false;
    for (EGLint n = 0; n < count; ++n) {
        const EGLConfig c = configs[n];
        if (attrib(c, EGL_RED_SIZE) == 8 && attrib(c, EGL_GREEN_SIZE) == 8 &&
            attrib(c, EGL_BLUE_SIZE) == 8 && attrib(c, EGL_ALPHA_SIZE) == 0 &&
            attrib(c, EGL_DEPTH_SIZE) == 16) {
            chosen = c;
            return true;
        }
    }
    return false;
}

}  // namespace

bool openHeadlessContext(int width, int height) {
    closeHeadlessContext();
    state.error[0] = '\0';
    if (width <= 0 || height <= 0) return fail("bad surface size %dx%d", width, height);

    state.display =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (state.display == EGL_NO_DISPLAY) return fail("no surfaceless EGL display");
    if (!eglInitialize(state.display, nullptr, nullptr))
        return fail("eglInitialize failed: 0x%x", eglGetError());
    if (!eglBindAPI(EGL_OPENGL_API)) return fail("eglBindAPI failed: 0x%x", eglGetError());

    EGLConfig config;
    if (!pickConfig(config)) return fail("no RGB 8/8/8, alpha 0, depth 16 pbuffer config");

    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    state.surface = eglCreatePbufferSurface(state.display, config, size);
    if (state.surface == EGL_NO_SURFACE)
        return fail("eglCreatePbufferSurface failed: 0x%x", eglGetError());

    const EGLint version[] = {EGL_CONTEXT_MAJOR_VERSION, 1, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    state.context = eglCreateContext(state.display, config, EGL_NO_CONTEXT, version);
    if (state.context == EGL_NO_CONTEXT)
        return fail("eglCreateContext failed: 0x%x", eglGetError());
    if (!eglMakeCurrent(state.display, state.surface, state.surface, state.context))
        return fail("eglMakeCurrent failed: 0x%x", eglGetError());

    state.width = width;
    state.height = height;
    return true;
}

// The display stays initialised for the life of the process: reopening is
// then cheap, and the driver stays loaded, so leak checkers can still name
// it in the driver's own allocations.
void closeHeadlessContext() {
    if (state.display != EGL_NO_DISPLAY) {
        eglMakeCurrent(state.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (state.context != EGL_NO_CONTEXT) eglDestroyContext(state.display, state.context);
        if (state.surface != EGL_NO_SURFACE) eglDestroySurface(state.display, state.surface);
        eglReleaseThread();
    }
    state.surface = EGL_NO_SURFACE;
    state.context = EGL_NO_CONTEXT;
    state.width = state.height = 0;
}

const char* headlessError() { return state.error; }

bool headlessSurfaceSize(int& width, int& height) {
    if (state.context == EGL_NO_CONTEXT) return false;
    width = state.width;
    height = state.height;
    return true;
}
