// The PNG encoder read back by libpng, and its files against libpng's own for
// the pictures of the examples.
#include <png.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/run.h"
#include "output/png_file.h"

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

// libpng's file for the same rows, at its default compression and filters.
std::vector<unsigned char> libpngFile(const std::vector<unsigned char>& rgb, int width,
                                      int height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(image, size, 0, rgb.data(), 0, nullptr)) return {};
    std::vector<unsigned char> file(size);
    if (!png_image_write_to_memory(&image, file.data(), &size, 0, rgb.data(), 0, nullptr))
        return {};
    file.resize(size);
    return file;
}

}  // namespace

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

// F12 and mirovan-snapshot write through this encoder: the window's picture
// of each example, 500 x 500, comes at most 1.2 times libpng's file for the
// same pixels (the stored blocks F12 once wrote made it 51 times), and
// libpng reads back every pixel.
TEST(PngEncoder, ExamplesCompressAsLibpngDoesAndReadBackExactly) {
    const std::string dir = scratchDirectory();
    for (const char* example : {"robot", "still_life", "lights"}) {
        const std::string png = dir + "/" + example + ".png";
        const RunResult r =
            runProgram({SNAPSHOT_BINARY,
                        std::string(MIROVAN_SOURCE_DIR) + "/examples/" + example + ".scn", png});
        ASSERT_EQ(r.status, 0) << example << r.out << r.err;
        const std::string bytes = readFile(png);
        std::vector<unsigned char> picture, rgb;
        int width = 0, height = 0, w = 0, h = 0;
        ASSERT_TRUE(decode({bytes.begin(), bytes.end()}, picture, width, height)) << example;
        ASSERT_EQ(width, 500);
        ASSERT_EQ(height, 500);

        const std::vector<unsigned char> ours = encodeRgbPng(picture.data(), width, height);
        const std::vector<unsigned char> theirs = libpngFile(picture, width, height);
        ASSERT_FALSE(theirs.empty()) << example;
        EXPECT_LE(ours.size() * 5, theirs.size() * 6)
            << example << ": " << ours.size() << " bytes against libpng's " << theirs.size();
        ASSERT_TRUE(decode(ours, rgb, w, h)) << example;
        EXPECT_TRUE(rgb == picture) << example;
        EXPECT_EQ(bytes.size(), ours.size()) << example << ": the snapshot's file is not this one";
    }
}
