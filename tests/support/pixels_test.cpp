// What the solids look like on screen, lit.
#include <string>
#include <vector>

#include "GestionOpenGL.h"
#include "gl_fixture.h"
#include "headless/headless.h"

namespace {

using SupportPixels = GlTest;

struct Image {
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
    const unsigned char* at(int x, int y) const { return &rgb[(y * width + x) * 3]; }
};

Image frame(void (*scene)()) {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    scene();
    Image image;
    EXPECT_TRUE(readPixelsRGB(image.rgb, image.width, image.height));
    return image;
}

void expectColour(const Image& image, int x, int y, int r, int g, int b) {
    const unsigned char* p = image.at(x, y);
    EXPECT_NEAR(p[0], r, 1) << "at " << x << "," << y;
    EXPECT_NEAR(p[1], g, 1) << "at " << x << "," << y;
    EXPECT_NEAR(p[2], b, 1) << "at " << x << "," << y;
}

TEST_F(SupportPixels, BoxFacingTheDefaultLight) {
    const Image first = frame([] { auxSolidBox(2, 2, 2); });
    ASSERT_EQ(first.width, 64);
    // Default material and light: 0.2 * 0.2 ambient + 0.8 diffuse = 0.84.
    expectColour(first, 32, 32, 214, 214, 214);
    expectColour(first, 2, 2, 0, 0, 0);
    expectColour(first, 61, 61, 0, 0, 0);
    const std::string png = ::testing::TempDir() + "support_lit_box.png";
    EXPECT_TRUE(writePng(png.c_str(), first.rgb.data(), first.width, first.height));

    const Image replayed = frame([] { auxSolidBox(2, 2, 2); });
    EXPECT_EQ(replayed.rgb, first.rgb);
}

TEST_F(SupportPixels, MaterialAndLightColourTheFrontFace) {
    const Image image = frame([] {
        const float none[4] = {0, 0, 0, 1}, red[4] = {1, 0, 0, 1};
        affecteMaterial(none, red, none, none, 0);
        affecteDirLight(1, 1, 1, 0, 0, -1, 1);  // travelling away from the viewer
        auxSolidBox(2, 2, 2);
    });
    expectColour(image, 32, 32, 255, 0, 0);
}

}  // namespace
