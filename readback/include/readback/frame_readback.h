// The colour buffer the GL just drew into, as the rows a picture file takes.
#pragma once

#include <vector>

// width x height RGB bytes from the current GL context's read buffer, top
// row first (the GL gives the bottom row first); false on a GL error.
bool readFrameRGB(int width, int height, std::vector<unsigned char>& rgb);
