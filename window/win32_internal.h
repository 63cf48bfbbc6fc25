#pragma once

// What the Win32 files of the window layer share.

#include <windows.h>

// The descriptor that a display-mode word asks the platform for.
PIXELFORMATDESCRIPTOR pixelFormatRequest(int displayMode);
// Chooses and sets the closest format, then makes the palette if the format
// needs one. 1 on success; 0 after reporting why.
int selectPixelFormat(HDC dc, int displayMode);

// One paint for any number of requests: invalidates the whole client area
// unless a paint is already waiting for the window.
void requestRedrawOf(HWND window);
