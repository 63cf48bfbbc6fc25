// The offscreen picture as a PNG, from the output module's encoder: the one
// F12 uses, so that both give the same file for the same picture.
#include <cstdio>
#include <vector>

#include "headless/headless.h"
#include "output/png_file.h"

bool writePng(const char* path, const unsigned char* rgb, int width, int height) {
    if (!path || !rgb || width <= 0 || height <= 0) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const std::vector<unsigned char> png = encodeRgbPng(rgb, width, height);
    const bool written = !png.empty() && std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

bool savePicture(const char* path) {
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
    return readPixelsRGB(rgb, width, height) && writePng(path, rgb.data(), width, height);
}

bool savePictureTo(std::FILE* file) {
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
    if (!readPixelsRGB(rgb, width, height)) return false;
    const std::vector<unsigned char> png = encodeRgbPng(rgb.data(), width, height);
    return !png.empty() && std::fwrite(png.data(), 1, png.size(), file) == png.size();
}
