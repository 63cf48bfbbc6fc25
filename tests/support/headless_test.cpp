// The offscreen harness the GL tests stand on.
#include "headless/headless.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class HeadlessHarness : public ::testing::Test {
protected:
    void TearDown() override { closeHeadlessContext(); }
};

GLint integer(GLenum name) {
    GLint v = -1;
    glGetIntegerv(name, &v);
    return v;
}

TEST_F(HeadlessHarness, ContextHasTheWindowFormatAndLegacyGl) {
    ASSERT_TRUE(openHeadlessContext(40, 30)) << headlessError();
    EXPECT_EQ(integer(GL_RED_BITS), 8);
    EXPECT_EQ(integer(GL_GREEN_BITS), 8);
    EXPECT_EQ(integer(GL_BLUE_BITS), 8);
    EXPECT_EQ(integer(GL_ALPHA_BITS), 0);
    EXPECT_EQ(integer(GL_DEPTH_BITS), 16);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 40);
    EXPECT_EQ(viewport[3], 30);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    glEnd();
    glEndList();
    EXPECT_TRUE(glIsList(list));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HeadlessHarness, ReadsBackTopRowFirst) {
    ASSERT_TRUE(openHeadlessContext(5, 4)) << headlessError();
    glClearColor(0, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 3, 5, 1);  // the GL's top row
    glClearColor(1, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;
    ASSERT_TRUE(readPixelsRGB(rgb, w, h));
    ASSERT_EQ(w, 5);
    ASSERT_EQ(h, 4);
    ASSERT_EQ(rgb.size(), 5u * 4 * 3);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(rgb[x * 3 + 0], 255);
        EXPECT_EQ(rgb[x * 3 + 2], 0);
        EXPECT_EQ(rgb[(3 * 5 + x) * 3 + 0], 0);
        EXPECT_EQ(rgb[(3 * 5 + x) * 3 + 2], 255);
    }
}

TEST_F(HeadlessHarness, ReopensAndRefusesWithoutContext) {
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;
    EXPECT_FALSE(readPixelsRGB(rgb, w, h));
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(openHeadlessContext(8, 8 + k)) << headlessError();
    EXPECT_TRUE(readPixelsRGB(rgb, w, h));
    EXPECT_EQ(h, 10);
    closeHeadlessContext();
    EXPECT_FALSE(readPixelsRGB(rgb, w, h));
    EXPECT_FALSE(openHeadlessContext(0, 8));
    EXPECT_STRNE(headlessError(), "");
}

TEST_F(HeadlessHarness, PngRoundTrip) {
    const int w = 7, h = 3;
    std::vector<unsigned char> rgb(w * h * 3);
    for (std::size_t k = 0; k < rgb.size(); ++k) rgb[k] = static_cast<unsigned char>(k * 37);
    const std::string path = ::testing::TempDir() + "headless_roundtrip.png";
    ASSERT_TRUE(writePng(path.c_str(), rgb.data(), w, h));

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.width, static_cast<png_uint_32>(w));
    EXPECT_EQ(image.height, static_cast<png_uint_32>(h));
    EXPECT_EQ(image.format, static_cast<png_uint_32>(PNG_FORMAT_RGB));
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> back(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr));
    EXPECT_EQ(back, rgb);

    EXPECT_FALSE(writePng("/nonexistent-dir/x.png", rgb.data(), w, h));
}

}  // namespace
