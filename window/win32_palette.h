#pragma once

// The RGB palette of pixel formats that need one (8-bit formats on palette
// displays), the system's static colours kept or taken over, and the window
// messages that realise it. On true-colour displays no palette is made.

#include <windows.h>

// Window-creation attempt, first step: 21 or 25 system colours by OS version.
void noteSystemVersion();
// The window, its device context and display mode, before the format is set.
void paletteAttach(HWND window, HDC dc, int displayMode);
// Gives the display back and deletes the palette (window clean-up).
void releasePalette();
HPALETTE currentPalette();

int readPixelFormatDescription(HDC dc, PIXELFORMATDESCRIPTOR* pfd);

HPALETTE createRgbPalette(HDC dc);
int componentRamp(int i, int bits, int shift);
bool staticColoursTaken();
int systemColourCount();

// The palette's share of the window procedure. True when the message is
// answered with *result; false when default processing follows.
bool handlePaletteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
