// The mouse and Home on the view: the turn a drag gives, the box the wheel
// leaves, and the way back.
#include <GL/gl.h>

#include <cstring>

#include "viewer/keys.h"
#include "viewer/view.h"
#include "viewer/viewer_fixture.h"

namespace {

struct Box {
    double left, right, bottom, top, depth;
};

// The orthographic box from the projection matrix.
Box projectionBox() {
    double m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    return {(-1 - m[12]) / m[0], (1 - m[12]) / m[0], (-1 - m[13]) / m[5], (1 - m[13]) / m[5],
            1 / -m[10]};
}

// The scene point (z = 0) under window point (x, y), y from the top.
void sceneAt(int width, int height, double x, double y, double& sx, double& sy) {
    const Box box = projectionBox();
    sx = box.left + x / width * (box.right - box.left);
    sy = box.top - y / height * (box.top - box.bottom);
}

void expectPointStays(int width, int height, int notches, int x, int y) {
    double beforeX, beforeY, afterX, afterY;
    sceneAt(width, height, x, y, beforeX, beforeY);
    wheelZoom(notches, x, y);
    sceneAt(width, height, x, y, afterX, afterY);
    EXPECT_NEAR(afterX, beforeX, 1e-4) << notches << " notches at " << x << "," << y;
    EXPECT_NEAR(afterY, beforeY, 1e-4) << notches << " notches at " << x << "," << y;
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
    float atRest[16];
    glGetFloatv(GL_PROJECTION_MATRIX, atRest);

    for (int i = 0; i < 3; ++i) expectPointStays(500, 400, 1, 20, 30);
    EXPECT_DOUBLE_EQ(viewZoom(), 1.1 * 1.1 * 1.1);
    Box box = projectionBox();
    EXPECT_NEAR(box.right - box.left, 40 / 1.331, 1e-4);
    EXPECT_NEAR(box.top - box.bottom, 32 / 1.331, 1e-4);
    EXPECT_NEAR(box.depth, 20, 1e-4);  // zoomed in, the depth keeps what zoom 1 shows
    expectPointStays(500, 400, -2, 400, 300);
    EXPECT_NEAR(viewZoom(), 1.1, 1e-12);

    wheelZoom(200, 250, 200);
    EXPECT_EQ(viewZoom(), 100.0);
    wheelZoom(-500, 0, 0);
    EXPECT_EQ(viewZoom(), 0.01);
    EXPECT_NEAR(projectionBox().depth, 2000, 1e-1);  // zoomed out, it grows with the box

    dragView(10, 10);
    homeView();
    EXPECT_EQ(viewZoom(), 1.0);
    EXPECT_EQ(viewAngles().angleX, 0.0f);
    EXPECT_EQ(viewAngles().angleY, 0.0f);
    float home[16];
    glGetFloatv(GL_PROJECTION_MATRIX, home);
    EXPECT_EQ(std::memcmp(home, atRest, sizeof home), 0);
}
