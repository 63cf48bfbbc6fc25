// The mouse and Home on the view: the turn a drag gives, the box the wheel
// leaves, and the way back.
#include <GL/gl.h>

#include <cstring>

#include "viewer/keys.h"
#include "viewer/view.h"
#include "viewer/viewer_fixture.h"

namespace {

// The scene point (z = 0) under window point (x, y) of a 500 x 400 window,
// and the box's half depth, from the projection matrix.
void sceneAt(double x, double y, double& sx, double& sy, double& depth) {
    double m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    sx = (2 * x / 500 - 1 - m[12]) / m[0];
    sy = (1 - 2 * y / 400 - m[13]) / m[5];
    depth = -1 / m[10];
}

}  // namespace

TEST_F(ViewerTest, DragTurnsHalfADegreePerPixelAndKeepsTheSpin) {
    dragView(40, 20);  // right as Left, down as Up
    EXPECT_EQ(viewAngles().angleX, 10.0f);
    EXPECT_EQ(viewAngles().angleY, 20.0f);
    dragView(-41, -21);
    EXPECT_EQ(viewAngles().angleX, 359.5f);
    EXPECT_EQ(viewAngles().angleY, 359.5f);
    toggleSpin();
    dragView(3, 0);
    EXPECT_TRUE(spinning());
}

TEST_F(ViewerTest, WheelZoomsAboutTheCursorWithinBoundsAndHomeRestoresTheBox) {
    reshapeView(500, 400);
    float atRest[16], home[16];
    glGetFloatv(GL_PROJECTION_MATRIX, atRest);
    double x0, y0, x1, y1, depth;
    sceneAt(20, 30, x0, y0, depth);
    for (int i = 0; i < 3; ++i) wheelZoom(1, 20, 30);
    sceneAt(20, 30, x1, y1, depth);
    EXPECT_NEAR(x1, x0, 1e-4);
    EXPECT_NEAR(y1, y0, 1e-4);
    EXPECT_DOUBLE_EQ(viewZoom(), 1.1 * 1.1 * 1.1);
    EXPECT_NEAR(depth, 20, 1e-4);  // zoomed in, the depth keeps what zoom 1 shows

    wheelZoom(200, 250, 200);
    EXPECT_EQ(viewZoom(), 100.0);
    wheelZoom(-500, 0, 0);
    EXPECT_EQ(viewZoom(), 0.01);
    sceneAt(0, 0, x1, y1, depth);
    EXPECT_NEAR(depth, 2000, 0.1);  // zoomed out, it grows with the width

    dragView(10, 10);
    homeView();
    EXPECT_EQ(viewZoom(), 1.0);
    EXPECT_EQ(viewAngles().angleX, 0.0f);
    EXPECT_EQ(viewAngles().angleY, 0.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, home);
    EXPECT_EQ(std::memcmp(home, atRest, sizeof home), 0);
}
