// One PNG encoder for both platforms: stb_image_write (Debian's libstb-dev,
// a header) frames the file and picks each row's filter, and zlib deflates
// it (zlib1g-dev on Linux, libz-mingw-w64-dev for the Windows build). libpng
// itself has no mingw package, and stb_image_write's own deflate makes
// pictures of the examples about 1.6 times libpng's; with zlib at stb's level
// 8 they come within 1 % of libpng's.
#include "output/png_file.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace {

// stb_image_write's hook for a compressor: a malloc'd zlib stream, freed by
// stb with free(); null on failure.
unsigned char* zlibCompress(unsigned char* data, int length, int* outLength, int quality) {
    uLongf size = compressBound(static_cast<uLong>(length));
    auto* out = static_cast<unsigned char*>(std::malloc(size));
    if (out == nullptr) return nullptr;
    if (compress2(out, &size, data, static_cast<uLong>(length), quality) != Z_OK) {
        std::free(out);
        return nullptr;
    }
    *outLength = static_cast<int>(size);
    return out;
}

}  // namespace

#define STBIW_ZLIB_COMPRESS zlibCompress
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb/stb_image_write.h"  // a system header to the build: its warnings are not ours

namespace {

void append(void* context, void* data, int size) {
    auto& file = *static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    file.insert(file.end(), bytes, bytes + size);
}

}  // namespace

std::vector<unsigned char> encodeRgbPng(const unsigned char* rgb, int width, int height) {
    std::vector<unsigned char> file;
    if (rgb == nullptr || width <= 0 || height <= 0) return file;
    if (!stbi_write_png_to_func(append, &file, width, height, 3, rgb, width * 3)) file.clear();
    return file;
}
