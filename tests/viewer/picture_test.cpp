// What the viewer draws, checked by pixels, and the rule that every frame of
// an unchanged scene is the same picture whatever the scene's balance.
#include <GL/gl.h>

#include <string>

#include "support/support_state.h"
#include "common/run.h"
#include "viewer/viewer_fixture.h"
#include "viewer/keys.h"

namespace {

unsigned red(unsigned c) { return c >> 16; }
unsigned blue(unsigned c) { return c & 0xFF; }

struct FrameState {
    int lights, materialDepth, lightDepth;
    GLint modelviewDepth;
    float modelview[16];
    bool operator==(const FrameState& o) const {
        if (lights != o.lights || materialDepth != o.materialDepth || lightDepth != o.lightDepth ||
            modelviewDepth != o.modelviewDepth)
            return false;
        for (int i = 0; i < 16; ++i)
            if (modelview[i] != o.modelview[i]) return false;
        return true;
    }
};

FrameState frameState() {
    FrameState s{currentLightCount(), materialStackDepth(), lightStackDepth(), 0, {}};
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelviewDepth);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
    return s;
}

const char* const kRedMaterial = "Material 1 0 0 0.2 0 0 0 0 0 0 0 0 10\n";

}  // namespace

TEST_F(ViewerTest, BoxCentredOnTheRotatedView) {
    useScene(std::string(kRedMaterial) + "Rotation 90 0 0 1\nCube 20 4 4\n");
    frames(1);
    // Turned a quarter about z, the long side stands along y: 20 units of
    // the 40 across are 250 pixels.
    EXPECT_GT(red(pixel(250, 250)), 100u);
    EXPECT_GT(red(pixel(250, 140)), 100u);
    EXPECT_EQ(pixel(140, 250), 0u);
    EXPECT_EQ(pixel(250, 100), 0u);
}

TEST_F(ViewerTest, PopRestoresTheMaterialOfItsPush) {
    useScene(std::string(kRedMaterial) +
             "Push\nMaterial 0 0 1 0 0 0.2 0 0 0 0 0 0 10\nTranslation -8 0 0\nSphere 3\nPop\n"
             "Translation 8 0 0\nSphere 3\n");
    frames(2);
    const unsigned left = pixel(150, 250), right = pixel(350, 250);
    EXPECT_GT(blue(left), 100u);
    EXPECT_EQ(red(left), 0u);
    EXPECT_GT(red(right), 100u);
    EXPECT_EQ(blue(right), 0u);
}

TEST_F(ViewerTest, UpTurnsTheTopTowardsTheViewer) {
    // A box in front (z > 0) of a far one: after 90 degrees about x the
    // near box comes down to the bottom half of the picture... seen from the
    // viewer, +z goes to -y when the top turns towards the viewer.
    useScene(std::string(kRedMaterial) + "Translation 0 0 10\nCube 4 4 4\n");
    for (int i = 0; i < 90; ++i) increaseAngleX();
    frames(1);
    EXPECT_GT(red(pixel(250, 250 + 125)), 100u);
    EXPECT_EQ(pixel(250, 250 - 125), 0u);
}

TEST_F(ViewerTest, LeftMovesTheFrontSideToTheRight) {
    useScene(std::string(kRedMaterial) + "Translation 0 0 10\nCube 4 4 4\n");
    for (int i = 0; i < 90; ++i) increaseAngleY();
    frames(1);
    EXPECT_GT(red(pixel(250 + 125, 250)), 100u);
    EXPECT_EQ(pixel(250 - 125, 250), 0u);
}

TEST_F(ViewerTest, UnbalancedScenesKeepEveryFrameTheSame) {
    std::string pushes, pops;
    for (int i = 0; i < 60; ++i)
        pushes += "Push\nTranslation 0.1 0 0\n", pops += "Pop\nTranslation 0.1 0 0\n";
    const std::string scenes[] = {
        "Pointlight 0 0 10 1 1 0 0\nDirlight 0 0 -1 1 0 1 0\n" + std::string(kRedMaterial) +
            "Sphere 5\n",
        std::string(kRedMaterial) + pushes + "Sphere 5\n",
        std::string(kRedMaterial) + pops + "Sphere 5\n",
        pops + "Spotlight 0 0 10 0 0 -1 1 1 1 1 30\n" + pushes + "Cube 5 5 5\n",
    };
    for (const std::string& scene : scenes) {
        SetUp();
        useScene(scene);
        frames(1);
        const FrameState first = frameState();
        frames(1);
        const std::vector<unsigned char> second = pixels();
        for (int i = 0; i < 300; ++i) {
            frames(1);
            ASSERT_TRUE(frameState() == first) << scene << " frame " << i + 3;
        }
        EXPECT_EQ(pixels(), second) << scene;
        EXPECT_EQ(first.modelviewDepth, 1);
        EXPECT_LE(currentLightCount(), 8);
    }
}

TEST_F(ViewerTest, BundledExamplesDrawTheSamePictureEveryFrame) {
    for (const char* name : {"robot", "still_life", "lights"}) {
        SetUp();
        useScene(readFile(std::string(MIROVAN_SOURCE_DIR) + "/examples/" + name + ".scn"));
        frames(2);
        const std::vector<unsigned char> second = pixels();
        frames(1);
        EXPECT_EQ(pixels(), second) << name;
        std::size_t lit = 0;
        for (std::size_t i = 0; i < second.size(); i += 3)
            lit += second[i] + second[i + 1] + second[i + 2] > 0;
        EXPECT_GT(lit, 10000u) << name << " draws something";
    }
}

TEST_F(ViewerTest, LightsOfAnEarlierVersionAreGoneAtTheNextFrame) {
    useScene("Pointlight 0 0 10 1 1 0 0\nPointlight 0 0 10 1 0 1 0\nSphere 5\n");
    frames(3);
    EXPECT_EQ(currentLightCount(), 2);
    useScene("Sphere 5\n");
    frames(1);
    EXPECT_EQ(currentLightCount(), 0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    float diffuse[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_EQ(diffuse[0], 1.0f);
    EXPECT_EQ(diffuse[2], 1.0f);
}
