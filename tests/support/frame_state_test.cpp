#include "GestionOpenGL.h"
#include "gl_fixture.h"
#include "support/support_state.h"

namespace {

using SupportFrame = GlTest;

// A frame with a light outside any bracket and one Push too many.
void unbalancedFrame() {
    affectePointLight(1, 1, 1, 0, 3, 0, 1);
    pushMaterial();
    pushLumieres();
    affecteDirLight(1, 0, 0, 0, 0, -1, 1);
}

TEST_F(SupportFrame, EveryFrameStartsFromTheFirstFramesState) {
    markFrameStart();
    std::string out = printedBy([] {
        for (int frame = 0; frame < 60; ++frame) {
            restoreFrameStart();
            unbalancedFrame();
            ASSERT_EQ(currentLightCount(), 2);
            ASSERT_EQ(materialStackDepth(), 1);
            ASSERT_EQ(lightStackDepth(), 1);
        }
    });
    EXPECT_EQ(out, "");  // no capacity ever reached
    restoreFrameStart();
    EXPECT_EQ(currentLightCount(), 0);
    EXPECT_EQ(materialStackDepth(), 0);
    EXPECT_EQ(lightStackDepth(), 0);
    // An empty set means the default light, the others off.
    EXPECT_TRUE(lightEnabled(0));
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_DIFFUSE), {1, 1, 1, 1}));
    for (int k = 1; k < 8; ++k) EXPECT_FALSE(lightEnabled(k)) << k;
}

TEST_F(SupportFrame, MarkedLightsComeBackWhereTheyWereAdded) {
    glTranslatef(0, 0, -5);
    affectePointLight(1, 1, 1, 1, 0, 0, 1);
    affecteSpotLight(1, 1, 1, 0, 1, 0, 0, -1, 0, 1, 12.5f);
    pushMaterial();
    const Vec4 point = lightOf(GL_LIGHT0, GL_POSITION);
    const Vec4 spot = lightOf(GL_LIGHT1, GL_POSITION);
    markFrameStart();

    glLoadIdentity();
    glRotatef(45, 0, 0, 1);
    affectePointLight(1, 1, 1, 9, 9, 9, 1);
    popMaterial();
    pushLumieres();
    restoreFrameStart();

    EXPECT_EQ(currentLightCount(), 2);
    EXPECT_EQ(materialStackDepth(), 1);
    EXPECT_EQ(lightStackDepth(), 0);
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_POSITION), point));
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT1, GL_POSITION), spot));
    EXPECT_EQ(lightOf(GL_LIGHT1, GL_SPOT_CUTOFF)[0], 12.5f);
    EXPECT_FALSE(lightEnabled(2));
}

TEST_F(SupportFrame, MaterialOfBothFacesComesBackBitForBit) {
    const GLfloat front[4] = {0.1f, 1.0f / 3, 1e-7f, 0.7f}, back[4] = {0.9f, 0.8f, 0.7f, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, front);
    glMaterialfv(GL_BACK, GL_DIFFUSE, back);
    glMaterialf(GL_BACK, GL_SHININESS, 12.345678f);
    markFrameStart();
    affecteMaterial(back, back, front, front, 90);
    restoreFrameStart();
    EXPECT_TRUE(sameBits(materialOf(GL_FRONT, GL_DIFFUSE), {0.1f, 1.0f / 3, 1e-7f, 0.7f}));
    EXPECT_TRUE(sameBits(materialOf(GL_BACK, GL_DIFFUSE), {0.9f, 0.8f, 0.7f, 1}));
    EXPECT_TRUE(sameBits(materialOf(GL_BACK, GL_EMISSION), {0, 0, 0, 1}));
    EXPECT_EQ(materialOf(GL_FRONT, GL_SHININESS)[0], 0.0f);
    EXPECT_EQ(materialOf(GL_BACK, GL_SHININESS)[0], 12.345678f);
}

TEST_F(SupportFrame, RestoreBeforeAnyMarkChangesNothing) {
    affectePointLight(1, 1, 1, 1, 0, 0, 1);
    pushMaterial();
    restoreFrameStart();
    EXPECT_EQ(currentLightCount(), 1);
    EXPECT_EQ(materialStackDepth(), 1);
    EXPECT_TRUE(lightEnabled(0));
}

std::string sunk;

TEST_F(SupportFrame, MessagesCanGoToTheProgramsOwnOutput) {
    sunk.clear();
    setSupportMessageSink([](const char* text) { sunk += text; });
    const std::string out = printedBy([] {
        popMaterial();
        popLumieres();
    });
    setSupportMessageSink(nullptr);
    EXPECT_EQ(out, "");
    EXPECT_EQ(sunk, "Pile de materiaux vide!!!\nPile de lumieres vide!!!\n");
    resetSupportState();
    EXPECT_EQ(printedBy([] { popMaterial(); }), "Pile de materiaux vide!!!\n");
}

}  // namespace
