// The palette's seam for tests; no program includes this.
#pragma once

#include <windows.h>

// Replaces the read-back of pixel formats, to stand for formats the display
// lacks; nullptr restores the system's.
void setPixelFormatReader(int (*reader)(HDC, PIXELFORMATDESCRIPTOR*));
