#pragma once

// The window layer: one window with a legacy OpenGL context, its event loop,
// and the handlers through which the loop calls back into the program.
// One window per process; all of the layer's state is process-wide.

// Bits of the display-mode word; any combination, other bits are ignored.
enum DisplayModeBits {
    ModeIndexColour = 1,  // colour-index pixels (refused under GLFW)
    ModeDoubleBuffer = 2,
    ModeAccum = 8,
    ModeAlpha = 16,
    ModeDepth = 32,  // 24-bit depth buffer
    ModeStencil = 64,
    ModeDepth16 = 256,          // 16-bit depth buffer; wins over ModeDepth
    ModeOwnStaticColours = 512  // palette displays (Windows) only
};

// Codes of the keys that come from key presses; digits and letters arrive
// as their character codes ('0'..'9', 'A'..'Z', 'a'..'z').
enum KeyCodes {
    KeyReturn = 13,
    KeyEscape = 27,
    KeySpace = 32,
    KeyLeft = 37,
    KeyUp = 38,
    KeyRight = 39,
    KeyDown = 40,
    KeyHome = 36,  // the Windows virtual-key codes of these two
    KeyF12 = 123
};

// Configuration, before openWindow.
void setDisplayMode(int mode);
// x, y: outer frame's top-left corner; width, height: client area in pixels.
// x == -2147483648 lets the platform place the window (y is then ignored).
void setWindowPosition(int x, int y, int width, int height);

// Creates the window and its context and makes the context current.
// Returns 1 on success, 0 after reporting why it failed.
int openWindow(const char* title);

// Handlers. Key handlers are appended and never replace earlier ones.
void addKeyHandler(int code, void (*handler)());
void setReshapeHandler(void (*handler)(int width, int height));
void setIdleHandler(void (*handler)());  // nullptr: wait for events
// The mouse. A drag with the left button held reports each move, in pixels
// since the last report (dx to the right, dy down). The wheel reports whole
// notches, positive when turned towards the screen, with the cursor's point
// in the client area (pixels from its top-left corner). Like the key table,
// both outlive a window; after either ran, the window redraws.
void setDragHandler(void (*handler)(int dx, int dy));
void setWheelHandler(void (*handler)(int notches, int x, int y));
// Called about every intervalSeconds while the loop runs, also while it
// waits for events; nullptr removes it.
void setTimerHandler(void (*handler)(), double intervalSeconds);

// Runs the event loop with the given paint handler; returns 0 once the
// window has been destroyed (close box, Escape, closeWindow).
int runMainLoop(void (*display)());

int swapWindowBuffers();  // 1 if a window was there to present
void requestRedraw();     // requests before the next paint merge into one
void dispatchKey(int code);
void dispatchDrag(int dx, int dy);
void dispatchWheel(int notches, int x, int y);
void closeWindow();                          // what the close box does
void quitOnEscape();                         // closes the window; no later key entry runs
void defaultReshape(int width, int height);  // one unit per pixel, origin bottom-left

// Messages: on Windows a message box captioned "Error" / "Warning"; elsewhere
// standard error, as "Error: " / "Warning: " + text.
void reportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void reportWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
