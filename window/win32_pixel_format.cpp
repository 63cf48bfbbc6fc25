// The pixel format asked for a display-mode word, and setting it.

#include "layer.h"
#include "win32_internal.h"
#include "win32_palette.h"
#include "window/window.h"

PIXELFORMATDESCRIPTOR pixelFormatRequest(int mode) {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (mode & ModeDoubleBuffer) pfd.dwFlags |= PFD_DOUBLEBUFFER;
    const bool indexed = mode & ModeIndexColour;
    pfd.iPixelType = indexed ? PFD_TYPE_COLORINDEX : PFD_TYPE_RGBA;
    pfd.cColorBits = indexed ? 8 : 24;
    pfd.cAlphaBits = (mode & ModeAlpha) ? 8 : 0;
    pfd.cAccumBits = (mode & ModeAccum) ? pfd.cColorBits + pfd.cAlphaBits : 0;
    pfd.cDepthBits = (mode & ModeDepth16) ? 16 : (mode & ModeDepth) ? 24 : 0;
    pfd.cStencilBits = (mode & ModeStencil) ? 4 : 0;
    pfd.cAuxBuffers = 0;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

int selectPixelFormat(HDC dc, int mode) {
    const PIXELFORMATDESCRIPTOR pfd = pixelFormatRequest(mode);
    const int format = ChoosePixelFormat(dc, &pfd);
    if (format == 0) {
        reportError("%s", kNoPixelFormat);
        return 0;
    }
    if (!SetPixelFormat(dc, format, &pfd)) {
        reportError("%s", kSetPixelFormatFailed);
        return 0;
    }
    createRgbPalette(dc);  // only formats that need one get a palette
    return 1;
}
