// 8-bit RGB PNG through libpng.
#include <png.h>

#include <cstdio>
#include <vector>

#include "headless/headless.h"

namespace {

// libpng reports errors by longjmp; nothing with a destructor lives here.
bool writeRows(std::FILE* file, const unsigned char* rgb, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb + static_cast<std::size_t>(y) * width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const char* path, const unsigned char* rgb, int width, int height) {
    if (!path || !rgb || width <= 0 || height <= 0) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = writeRows(file, rgb, width, height);
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
    return readPixelsRGB(rgb, width, height) && writeRows(file, rgb.data(), width, height);
}
