#pragma once

// The seam between the window layer's platform-neutral half (layer.cpp:
// handler slots, key table, display mode, opening order, messages) and the
// files of one platform (glfw_*.cpp or win32_*.cpp). CMake compiles exactly
// one platform. One window per process.

// ---- The failure texts, one spelling for every platform ----

inline constexpr char kRegisterClassFailed[] = "Failed to register window class\n";
inline constexpr char kCreateWindowFailed[] = "create window failed\n";
inline constexpr char kNoPixelFormat[] = "Selecting a pixel format failed\n";
inline constexpr char kSetPixelFormatFailed[] = "SetPixelFormat failed\n";
inline constexpr char kCreateContextFailed[] = "wglCreateContext Failed\n";
inline constexpr char kMakeCurrentFailed[] = "wglMakeCurrent Failed\n";

// ---- Supplied by the platform ----

// Stores the requested frame corner and client size; x == INT_MIN was
// turned into useDefault by the caller.
void platformSetPosition(int x, int y, int width, int height, bool useDefault);
// One complete attempt to open the window with its context current.
// Reports its own failures; leaves nothing behind when it fails.
bool platformOpenAttempt(const char* title, int displayMode);
bool platformHasWindow();
void platformClientSize(int& width, int& height);
// Runs the event loop until the window has been destroyed.
void platformRunLoop();
void platformRequestRedraw();
int platformSwapBuffers();
// Destroys the window; the clean-up calls layerReleaseHandlers().
void platformDestroyWindow();
void platformTimerChanged();
void platformShowMessage(const char* caption, const char* text);

// ---- Supplied by the neutral half, for the platform ----

void layerReshape(int width, int height);  // the reshape handler, if any
void layerDisplay();                       // the display handler, if any
bool layerHasIdle();
void layerIdle();  // looked up again right before the call
void layerTimer();
double layerTimerInterval();  // seconds; 0 while no timer handler is set
bool layerKeysRouted();       // key events go to the key table
// Last step of the window's clean-up: every handler slot and the key
// routing; the key table and the display mode stay.
void layerReleaseHandlers();
