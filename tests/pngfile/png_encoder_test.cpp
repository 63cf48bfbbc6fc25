// The PNG encoder read back by libpng, and its checksums against known values.
#include <png.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "pngfile/png_encoder.h"

namespace {

// Decodes an 8-bit RGB PNG held in memory; false if libpng refuses it.
bool decode(const std::vector<unsigned char>& file, std::vector<unsigned char>& rgb, int& width,
            int& height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
    if (image.format != PNG_FORMAT_RGB) return false;  // the file's own format
    rgb.assign(PNG_IMAGE_SIZE(image), 0);
    width = image.width;
    height = image.height;
    return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

}  // namespace

TEST(PngEncoder, ChecksumsMatchTheirStandardCheckValues) {
    const unsigned char check[] = "123456789";
    EXPECT_EQ(crc32Of(check, 9), 0xCBF43926ul);
    const unsigned char wiki[] = "Wikipedia";
    EXPECT_EQ(adler32Of(wiki, 9), 0x11E60398ul);
    std::vector<unsigned char> ones(100000, 0xFF);  // long enough to need the reduction
    EXPECT_EQ(adler32Of(ones.data(), ones.size()), 0x149A302Cul);
}

// 301 x 97 pixels make more than one stored block (65535 bytes each).
TEST(PngEncoder, LibpngReadsBackEveryPixelInOneOrManyBlocks) {
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{301, 97}}) {
        std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
        for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i * 7919 + i / 3) & 0xFF;
        std::vector<unsigned char> rgb;
        int w = 0, h = 0;
        ASSERT_TRUE(decode(encodeRgbPng(pixels.data(), width, height), rgb, w, h)) << width;
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        EXPECT_EQ(rgb, pixels);
    }
    EXPECT_TRUE(encodeRgbPng(nullptr, 1, 1).empty());
    EXPECT_TRUE(encodeRgbPng(reinterpret_cast<const unsigned char*>("abc"), 0, 1).empty());
}
