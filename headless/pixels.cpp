// Reading the colour buffer back in image order.
#include "headless/headless.h"
#include "headless_internal.h"
#include "readback/frame_readback.h"

bool readPixelsRGB(std::vector<unsigned char>& rgb, int& width, int& height) {
    int w = 0, h = 0;
    if (!headlessSurfaceSize(w, h) || !readFrameRGB(w, h, rgb)) return false;
    width = w;
    height = h;
    return true;
}
