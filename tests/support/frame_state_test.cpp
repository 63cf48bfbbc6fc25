#include <vector>

#include "GestionOpenGL.h"
#include "gl_fixture.h"
#include "modelview_stack.h"
#include "support_state.h"

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
    const GLenum pnames[5] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION, GL_SHININESS};
    Vec4 marked[2][5];
    for (int p = 0; p < 5; ++p) {
        marked[0][p] = materialOf(GL_FRONT, pnames[p]);
        marked[1][p] = materialOf(GL_BACK, pnames[p]);
    }
    markFrameStart();
    const GLfloat red[4] = {1, 0, 0, 1};
    affecteMaterial(red, red, red, red, 90);
    restoreFrameStart();
    for (int p = 0; p < 5; ++p) {
        EXPECT_TRUE(sameBits(materialOf(GL_FRONT, pnames[p]), marked[0][p])) << p;
        EXPECT_TRUE(sameBits(materialOf(GL_BACK, pnames[p]), marked[1][p])) << p;
    }
}

// Deeper than the GL's stack, one entry of which stays free for the lights
// that popLumieres re-applies under their own matrices.
TEST_F(SupportFrame, ModelviewNestsBeyondTheGlStack) {
    GLint most = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &most);
    const int levels = most + 20;
    std::vector<Matrix> saved;
    for (int k = 0; k < levels; ++k) {
        saved.push_back(modelview());
        pushModelview();
        glRotatef(7.5f, 1, 2, 3);
        glTranslatef(0.25f, 0, -1);
    }
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, most - 1);
    affectePointLight(1, 1, 1, 0, 0, 0, 1);
    pushLumieres();
    for (int k = levels - 1; k >= 0; --k) {
        popModelview();
        if (k == levels - 1) popLumieres();
        ASSERT_EQ(modelview(), saved[k]) << k;
    }
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // A new frame starts with none kept here: the next pop is the GL's.
    for (int k = 0; k < levels; ++k) pushModelview();
    markFrameStart();
    popModelview();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, most - 2);
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
