// Reading the colour buffer back in image order.
#include <GL/gl.h>

#include <algorithm>
#include <cstddef>

#include "headless/headless.h"
#include "headless_internal.h"

bool readPixelsRGB(std::vector<unsigned char>& rgb, int& width, int& height) {
    int w = 0, h = 0;
    if (!headlessSurfaceSize(w, h)) return false;
    const std::size_t row = static_cast<std::size_t>(w) * 3;
    rgb.assign(row * h, 0);

    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    if (glGetError() != GL_NO_ERROR) return false;

    // The GL gives the bottom row first.
    for (int y = 0; y < h / 2; ++y)
        std::swap_ranges(rgb.begin() + y * row, rgb.begin() + (y + 1) * row,
                         rgb.begin() + (h - 1 - y) * row);
    width = w;
    height = h;
    return true;
}
