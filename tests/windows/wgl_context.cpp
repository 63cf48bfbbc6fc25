// The offscreen context of the support tests, on Windows: a hidden window
// with the screen window's pixel format (RGB 8/8/8, depth 16) and a WGL
// context. Same face as the EGL harness of the Linux build.

#include <windows.h>

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "headless/headless.h"

namespace {

struct WglState {
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
    int width = 0, height = 0;
    std::string error;
};

WglState wgl;

bool fail(const char* what) {
    wgl.error = what;
    closeHeadlessContext();
    return false;
}

const char* windowClass() {
    static const char* name = [] {
        WNDCLASSA c = {};
        c.style = CS_OWNDC;
        c.lpfnWndProc = DefWindowProcA;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "MirovanTestContext";
        RegisterClassA(&c);
        return c.lpszClassName;
    }();
    return name;
}

}  // namespace

bool openHeadlessContext(int width, int height) {
    closeHeadlessContext();
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    wgl.window = CreateWindowExA(0, windowClass(), "test context", WS_OVERLAPPEDWINDOW, 0, 0,
                                 outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!wgl.window) return fail("CreateWindowExA failed");
    wgl.dc = GetDC(wgl.window);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    const int format = ChoosePixelFormat(wgl.dc, &pfd);
    if (format == 0 || !SetPixelFormat(wgl.dc, format, &pfd)) return fail("no pixel format");
    wgl.context = wglCreateContext(wgl.dc);
    if (!wgl.context || !wglMakeCurrent(wgl.dc, wgl.context)) return fail("no WGL context");
    wgl.width = width;
    wgl.height = height;
    glViewport(0, 0, width, height);
    return true;
}

void closeHeadlessContext() {
    if (wgl.context) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(wgl.context);
    }
    if (wgl.dc) ReleaseDC(wgl.window, wgl.dc);
    if (wgl.window) DestroyWindow(wgl.window);
    wgl.window = nullptr;
    wgl.dc = nullptr;
    wgl.context = nullptr;
}

const char* headlessError() { return wgl.error.c_str(); }

bool readPixelsRGB(std::vector<unsigned char>& rgb, int& width, int& height) {
    if (!wgl.context) return false;
    width = wgl.width;
    height = wgl.height;
    std::vector<unsigned char> rows(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    rgb.resize(rows.size());
    const size_t stride = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)  // GL's bottom row first; ours top first
        std::copy_n(&rows[(height - 1 - y) * stride], stride, &rgb[y * stride]);
    return glGetError() == GL_NO_ERROR;
}
