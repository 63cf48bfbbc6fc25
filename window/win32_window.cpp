// The window layer on Win32: window class, window, WGL context, window
// procedure and message loop.

#include <GL/gl.h>

#include <cstdint>

#include "layer.h"
#include "win32_internal.h"
#include "win32_palette.h"
#include "window/window.h"

namespace {

constexpr const char* kClassName = "tkLibWClass";
constexpr UINT_PTR kTimerId = 1;

struct Win32State {
    HWND window = nullptr;
    HDC deviceContext = nullptr;
    HGLRC glContext = nullptr;
    int clientX = 0, clientY = 0;
    int clientWidth = 100, clientHeight = 100;
    bool useDefaultPosition = true;
    bool classRegistered = false;
    bool opened = false;       // the attempt succeeded: destroying it ends the loop
    bool looping = false;      // inside platformRunLoop
    bool dragging = false;     // the left button went down in the window
    int dragX = 0, dragY = 0;  // where the last drag report left the cursor
    int wheelRest = 0;         // part of a notch, from high-resolution wheels
};

Win32State state;

// The client area's corner from the outer frame's, by the system metrics.
void clientCornerFromFrame(int x, int y) {
    state.clientX = x + GetSystemMetrics(SM_CXFRAME);
    state.clientY = y + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME) -
                    GetSystemMetrics(SM_CYBORDER);
}

void applyTimer() {
    if (!state.window) return;
    KillTimer(state.window, kTimerId);
    const double interval = layerTimerInterval();
    if (interval > 0) SetTimer(state.window, kTimerId, static_cast<UINT>(interval * 1000), nullptr);
}

void releaseWindowResources() {
    releasePalette();
    if (state.glContext) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(state.glContext);
    }
    if (state.deviceContext) ReleaseDC(state.window, state.deviceContext);
    state.window = nullptr;
    state.deviceContext = nullptr;
    state.glContext = nullptr;
    state.dragging = false;
    state.wheelRest = 0;
    layerReleaseHandlers();
}

void dispatchIfRouted(int code) {
    if (layerKeysRouted()) dispatchKey(code);
}

// Client coordinates are signed: under capture the cursor may leave the
// window on any side.
int pointX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int pointY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

void dragTo(LPARAM lParam) {
    if (!state.dragging) return;
    const int dx = pointX(lParam) - state.dragX, dy = pointY(lParam) - state.dragY;
    state.dragX = pointX(lParam);
    state.dragY = pointY(lParam);
    if (layerKeysRouted()) dispatchDrag(dx, dy);
}

// WHEEL_DELTA is one notch; high-resolution wheels send parts of it, which
// add up here. The message gives the cursor in screen coordinates.
void turnWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    state.wheelRest += GET_WHEEL_DELTA_WPARAM(wParam);
    const int notches = state.wheelRest / WHEEL_DELTA;
    if (notches == 0) return;
    state.wheelRest -= notches * WHEEL_DELTA;
    POINT cursor = {pointX(lParam), pointY(lParam)};
    ScreenToClient(window, &cursor);
    if (layerKeysRouted()) dispatchWheel(notches, cursor.x, cursor.y);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (handlePaletteMessage(window, message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_DESTROY: {
            const bool endsLoop = state.opened && state.looping;
            state.opened = false;
            releaseWindowResources();
            if (endsLoop) PostQuitMessage(1);
            return 0;
        }
        case WM_MOVE:
            state.clientX = LOWORD(lParam);
            state.clientY = HIWORD(lParam);
            return 0;
        case WM_SIZE:
            state.clientWidth = LOWORD(lParam);
            state.clientHeight = HIWORD(lParam);
            layerReshape(state.clientWidth, state.clientHeight);
            requestRedraw();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            layerDisplay();
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_KEYDOWN:
            switch (wParam) {
                case KeyReturn:
                case KeyEscape:
                case KeySpace:
                case KeyLeft:
                case KeyUp:
                case KeyRight:
                case KeyDown:
                case KeyHome:
                case KeyF12: dispatchIfRouted(static_cast<int>(wParam)); break;
                default: break;
            }
            return 0;
        case WM_CHAR:
            // Typed characters: Shift and Caps Lock have chosen the case.
            if ((wParam >= '0' && wParam <= '9') || (wParam >= 'A' && wParam <= 'Z') ||
                (wParam >= 'a' && wParam <= 'z'))
                dispatchIfRouted(static_cast<int>(wParam));
            return 0;
        case WM_TIMER: layerTimer(); return 0;  // the scene file's watch
        case WM_MOUSEMOVE: dragTo(lParam); return 0;
        case WM_LBUTTONDOWN:
            SetCapture(window);  // first: taking the capture may end an older drag
            state.dragging = true;
            state.dragX = pointX(lParam);
            state.dragY = pointY(lParam);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: SetCapture(window); return 0;
        case WM_LBUTTONUP:
            dragTo(lParam);
            state.dragging = false;
            ReleaseCapture();
            return 0;
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: ReleaseCapture(); return 0;
        case WM_CAPTURECHANGED: state.dragging = false; return 0;
        case WM_MOUSEWHEEL: turnWheel(window, wParam, lParam); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool registerWindowClass(HINSTANCE instance) {
    if (state.classRegistered) return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    state.classRegistered = RegisterClassA(&windowClass) != 0;
    return state.classRegistered;
}

// Swaps follow the display's refresh where the driver lets us: a steady spin.
void swapWithTheDisplay() {
    using SwapInterval = BOOL(WINAPI*)(int);
    if (auto proc = wglGetProcAddress("wglSwapIntervalEXT"))
        reinterpret_cast<SwapInterval>(reinterpret_cast<void (*)()>(proc))(1);
}

// Everything after the window exists; false once a step has failed.
bool contextForWindow(int displayMode) {
    state.deviceContext = GetDC(state.window);
    if (!state.deviceContext) {
        reportError("Could not get an HDC for window 0x%08lX\n",
                    static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(state.window)));
        return false;
    }
    ShowWindow(state.window, SW_SHOWDEFAULT);
    paletteAttach(state.window, state.deviceContext, displayMode);
    if (!selectPixelFormat(state.deviceContext, displayMode)) return false;
    state.glContext = wglCreateContext(state.deviceContext);
    if (!state.glContext) {
        reportError("%s", kCreateContextFailed);
        return false;
    }
    if (!wglMakeCurrent(state.deviceContext, state.glContext)) {
        reportError("%s", kMakeCurrentFailed);
        return false;
    }
    return true;
}

}  // namespace

void requestRedrawOf(HWND window) {
    MSG waiting;
    if (window && !PeekMessageA(&waiting, window, WM_PAINT, WM_PAINT, PM_NOREMOVE))
        InvalidateRect(window, nullptr, FALSE);
}

void platformSetPosition(int x, int y, int width, int height, bool useDefault) {
    state.useDefaultPosition = useDefault;
    clientCornerFromFrame(x, y);
    state.clientWidth = width;
    state.clientHeight = height;
}

bool platformOpenAttempt(const char* title, int displayMode) {
    noteSystemVersion();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registerWindowClass(instance)) {
        reportError("%s", kRegisterClassFailed);
        return false;
    }
    RECT outer = {state.clientX, state.clientY, state.clientX + state.clientWidth,
                  state.clientY + state.clientHeight};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    const int x = state.useDefaultPosition ? CW_USEDEFAULT : outer.left;
    const int y = state.useDefaultPosition ? CW_USEDEFAULT : outer.top;
    state.window = CreateWindowExA(
        0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y,
        outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (!state.window) {
        reportError("%s", kCreateWindowFailed);
        return false;
    }
    if (state.useDefaultPosition) {
        RECT placed;
        GetWindowRect(state.window, &placed);
        clientCornerFromFrame(placed.left, placed.top);
    }
    if (!contextForWindow(displayMode)) {
        DestroyWindow(state.window);  // its destruction releases what was had
        return false;
    }
    state.opened = true;
    swapWithTheDisplay();
    applyTimer();
    return true;
}

bool platformHasWindow() { return state.window != nullptr; }

void platformClientSize(int& width, int& height) {
    RECT client = {};
    GetClientRect(state.window, &client);
    width = client.right - client.left;
    height = client.bottom - client.top;
}

void platformRunLoop() {
    state.looping = true;
    MSG message;
    for (;;) {
        if (layerHasIdle()) {
            // Never waits: drain what is waiting, then one idle step.
            while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
                if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
                    state.looping = false;
                    return;
                }
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            layerIdle();
        } else {
            if (GetMessageA(&message, nullptr, 0, 0) <= 0) break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    state.looping = false;
}

int platformSwapBuffers() {
    if (!state.deviceContext) return 0;
    return SwapBuffers(state.deviceContext) ? 1 : 0;
}

void platformRequestRedraw() { requestRedrawOf(state.window); }

void platformDestroyWindow() {
    if (state.window) DestroyWindow(state.window);
}

void platformTimerChanged() { applyTimer(); }
