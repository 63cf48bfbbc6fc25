// Screen mode's view: projection, keys, spin, and what each frame prints.
#include <GL/gl.h>

#include <cmath>

#include "viewer/viewer_fixture.h"
#include "viewer/keys.h"
#include "viewer/view.h"

namespace {

void projectionScale(float& sx, float& sy) {
    float m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    sx = m[0];
    sy = m[5];
}

}  // namespace

TEST_F(ViewerTest, ProjectionKeepsTheWidthAtFortyUnits) {
    float sx, sy;
    reshapeView(1000, 500);
    projectionScale(sx, sy);
    EXPECT_FLOAT_EQ(sx, 2.0f / 40);
    EXPECT_FLOAT_EQ(sy, 2.0f / 20);  // y from -10 to 10
    reshapeView(500, 1000);
    projectionScale(sx, sy);
    EXPECT_FLOAT_EQ(sy, 2.0f / 80);  // y from -40 to 40
    reshapeView(0, 0);               // minimised: the projection stays
    reshapeView(500, 0);
    reshapeView(0, 500);
    projectionScale(sx, sy);
    EXPECT_FLOAT_EQ(sy, 2.0f / 80);
    float viewport[4];
    glGetFloatv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1000.0f);
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(ViewerTest, ArrowKeysTurnByOneDegree) {
    for (int i = 0; i < 90; ++i) increaseAngleX();
    EXPECT_EQ(viewAngles().angleX, 90.0f);
    increaseAngleY();
    decreaseAngleY();
    EXPECT_EQ(viewAngles().angleY, 0.0f);
    decreaseAngleX();
    EXPECT_EQ(viewAngles().angleX, 89.0f);
    decreaseAngleY();
    EXPECT_EQ(viewAngles().angleY, 359.0f);
    increaseAngleY();
    EXPECT_EQ(viewAngles().angleY, 0.0f);
}

TEST_F(ViewerTest, AnglesStayWithinOneTurn) {
    // Past 2^24 degrees a float no longer moves by one: unwrapped, the view
    // would stop turning after some hours of spin.
    for (int i = 0; i < 20000000; ++i) decreaseAngleX();
    EXPECT_EQ(viewAngles().angleX, 160.0f);
    setViewAngles(-40.0f, 725.5f);
    EXPECT_EQ(viewAngles().angleX, 320.0f);
    EXPECT_EQ(viewAngles().angleY, 5.5f);
    setViewAngles(-1e-9f, INFINITY);
    EXPECT_EQ(viewAngles().angleX, 0.0f);
    EXPECT_EQ(viewAngles().angleY, 0.0f);
}

TEST_F(ViewerTest, KeyHandlersDrawNothingThemselves) {
    useScene("Sphere 1\n");
    const std::string printed = captureStdout(
        [](void*) {
            increaseAngleX();
            toggleSpin();
            toggleSpin();
        },
        nullptr);
    EXPECT_EQ(printed, "");
}

TEST_F(ViewerTest, SpinTurnsBothAnglesOneDegreePerIdleStep) {
    useScene("Sphere 1\n");
    toggleSpin();
    toggleSpin();
    EXPECT_EQ(spinning(), false);
    EXPECT_EQ(captureStdout([](void*) { spinIdle(); }, nullptr), "");  // off: nothing
    toggleSpin();
    const std::string printed = captureStdout(
        [](void*) {
            spinIdle();
            spinIdle();
            spinIdle();
        },
        nullptr);
    EXPECT_EQ(printed, "Sphere 1.000000\nSphere 1.000000\nSphere 1.000000\n");
    EXPECT_EQ(viewAngles().angleX, 357.0f);
    EXPECT_EQ(viewAngles().angleY, 357.0f);
    toggleSpin();
    EXPECT_EQ(viewAngles().angleX, 357.0f);
}

TEST_F(ViewerTest, EveryFrameEchoesTheWholeScene) {
    useScene("Cube 1 2 3\n");
    EXPECT_EQ(frames(2), "Cube 1.000000 2.000000 3.000000\nCube 1.000000 2.000000 3.000000\n");
    useScene("cube 1 2 3\n");
    EXPECT_EQ(frames(1), "\n\n\n\n");
    useScene("Translation 16777217 0 0 Cube 16777217 1 1");
    EXPECT_EQ(
        frames(1),
        "Translation 16777216.000000 0.000000 0.000000\nCube 16777217.000000 1.000000 1.000000\n");
}

TEST_F(ViewerTest, MissingFileGivesAMessageEveryFrameAndABlackPicture) {
    const std::string printed = frames(3);
    const std::string line = scenePath + " n'existe pas!!!\n";
    EXPECT_EQ(printed, line + line + line);
    for (unsigned char c : pixels()) ASSERT_EQ(c, 0);
}

TEST_F(ViewerTest, AnEditShowsAtTheNextFrame) {
    useScene("Sphere 1\n");
    EXPECT_EQ(frames(1), "Sphere 1.000000\n");
    useScene("Sphere 2\n");
    EXPECT_EQ(frames(1), "Sphere 2.000000\n");
}
