#include "readback/frame_readback.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>

bool readFrameRGB(int width, int height, std::vector<unsigned char>& rgb) {
    if (width <= 0 || height <= 0) return false;
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    rgb.assign(row * height, 0);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    if (glGetError() != GL_NO_ERROR) return false;
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(rgb.begin() + y * row, rgb.begin() + (y + 1) * row,
                         rgb.begin() + (height - 1 - y) * row);
    return true;
}
