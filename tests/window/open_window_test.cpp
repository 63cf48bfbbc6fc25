// Opening the window: the GL state it leaves, the pixel format each mode
// bit asks for, its failures and their messages, and Escape.

#include "window/window.h"
#include "xvfb_server.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string>

namespace {

using Matrix = std::array<GLfloat, 16>;

Matrix matrix(GLenum which) {
    Matrix m{};
    glGetFloatv(which, m.data());
    return m;
}

Matrix ortho(float width, float height) {
    // glOrtho(0, width, 0, height, -1, 1), column-major.
    return {2 / width, 0, 0, 0, 0, 2 / height, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1};
}

const Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void expectMatrix(const Matrix& actual, const Matrix& expected, const char* what) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << what << " element " << i;
}

class OpenWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(useOwnXvfb());
        alarm(20);
        setWindowPosition(0, 0, 500, 500);
    }

    void TearDown() override {
        closeWindow();
        alarm(0);
    }
};

// What the first paint sees after the loop's first reshape, then what
// defaultReshape leaves for a size whose width and height differ.
struct Seen {
    std::array<GLint, 4> viewport;
    GLint matrixMode;
    Matrix projection, modelview;
};
Seen atFirstPaint, afterReshape;

Seen look() {
    Seen seen{};
    glGetIntegerv(GL_VIEWPORT, seen.viewport.data());
    glGetIntegerv(GL_MATRIX_MODE, &seen.matrixMode);
    seen.projection = matrix(GL_PROJECTION_MATRIX);
    seen.modelview = matrix(GL_MODELVIEW_MATRIX);
    return seen;
}

void inspectThenClose() {
    atFirstPaint = look();
    glMatrixMode(GL_PROJECTION);  // defaultReshape must not depend on the mode it finds
    glTranslatef(3, 4, 5);
    defaultReshape(200, 100);
    afterReshape = look();
    closeWindow();
}

TEST_F(OpenWindow, InstallsDefaultReshapeWithOneUnitPerPixel) {
    setDisplayMode(ModeDoubleBuffer | ModeDepth16);
    ASSERT_EQ(openWindow("open-default-reshape"), 1);
    std::array<GLfloat, 4> clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (std::array<GLfloat, 4>{0, 0, 0, 1}));

    EXPECT_EQ(runMainLoop(inspectThenClose), 0);

    EXPECT_EQ(atFirstPaint.viewport, (std::array<GLint, 4>{0, 0, 500, 500}));
    EXPECT_EQ(atFirstPaint.matrixMode, GL_MODELVIEW);
    expectMatrix(atFirstPaint.projection, ortho(500, 500), "projection at 500x500");
    expectMatrix(atFirstPaint.modelview, identity, "modelview at 500x500");

    EXPECT_EQ(afterReshape.viewport, (std::array<GLint, 4>{0, 0, 200, 100}));
    EXPECT_EQ(afterReshape.matrixMode, GL_MODELVIEW);
    expectMatrix(afterReshape.projection, ortho(200, 100), "projection at 200x100");
    expectMatrix(afterReshape.modelview, identity, "modelview at 200x100");
}

struct FormatCase {
    int mode;
    bool doubleBuffer;
    GLint depthBits, alphaBits;
    bool stencil, accum;
};

TEST_F(OpenWindow, PixelFormatFollowsTheModeBits) {
    const FormatCase cases[] = {
        {ModeDoubleBuffer | ModeDepth16, true, 16, 0, false, false},
        {0, false, 0, 0, false, false},
        {ModeDoubleBuffer | ModeDepth, true, 24, 0, false, false},
        {ModeDoubleBuffer | ModeDepth | ModeDepth16, true, 16, 0, false, false},
        {ModeDoubleBuffer | ModeDepth16 | ModeAccum, true, 16, 0, false, true},
        // Stencil comes only with a 24-bit depth buffer here.
        {ModeDoubleBuffer | ModeDepth | ModeAlpha | ModeStencil | ModeAccum, true, 24, 8, true,
         true},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        setDisplayMode(c.mode);
        ASSERT_EQ(openWindow("open-pixel-format"), 1);
        GLboolean doubleBuffer = GL_FALSE;
        GLint red = 0, depth = 0, alpha = 0, stencil = 0, accum = 0;
        glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffer);
        glGetIntegerv(GL_RED_BITS, &red);
        glGetIntegerv(GL_DEPTH_BITS, &depth);
        glGetIntegerv(GL_ALPHA_BITS, &alpha);
        glGetIntegerv(GL_STENCIL_BITS, &stencil);
        glGetIntegerv(GL_ACCUM_RED_BITS, &accum);
        closeWindow();

        EXPECT_EQ(doubleBuffer == GL_TRUE, c.doubleBuffer);
        EXPECT_EQ(red, 8);
        EXPECT_EQ(depth, c.depthBits);
        EXPECT_EQ(alpha, c.alphaBits);
        EXPECT_EQ(stencil > 0, c.stencil);
        EXPECT_EQ(accum > 0, c.accum);
    }
}

int paints = 0;
void countPaint() { ++paints; }

TEST_F(OpenWindow, ColourIndexIsRefusedAfterTryingDoubleBufferToo) {
    const std::string refused = "Error: Selecting a pixel format failed\n";

    setDisplayMode(ModeIndexColour);  // the initial mode
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(openWindow("open-colour-index"), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), refused + refused);

    setDisplayMode(ModeIndexColour | ModeDoubleBuffer);  // nothing left to fall back to
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(openWindow("open-colour-index"), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), refused);

    paints = 0;
    EXPECT_EQ(runMainLoop(countPaint), 0);  // no window: returns at once
    EXPECT_EQ(paints, 0);
}

TEST(OpenWindowWithoutDisplay, ReportsThePlatformReasonAndReturnsZero) {
    // A fresh process: once the platform is up, DISPLAY is no longer read.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            setDisplayMode(ModeDoubleBuffer | ModeDepth16);
            std::exit(openWindow("no-display") == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0),
        "^Error: X11: The DISPLAY environment variable is missing\nError: create window failed\n$");
}

bool callersEscapeRan = false;
void callersEscape() { callersEscapeRan = true; }
void pressEscape() { dispatchKey(KeyEscape); }

TEST_F(OpenWindow, EscapeClosesTheWindowBeforeTheCallersEscapeAndTheLoopReturnsZero) {
    setDisplayMode(ModeDoubleBuffer | ModeDepth16);
    ASSERT_EQ(openWindow("open-escape"), 1);
    addKeyHandler(KeyEscape, callersEscape);  // registered after the layer's own
    setIdleHandler(pressEscape);
    callersEscapeRan = false;
    EXPECT_EQ(runMainLoop(countPaint), 0);
    EXPECT_FALSE(callersEscapeRan);
    EXPECT_EQ(swapWindowBuffers(), 0);  // the window is gone

    // The next window's Escape works again.
    ASSERT_EQ(openWindow("open-escape-again"), 1);
    setIdleHandler(pressEscape);
    EXPECT_EQ(runMainLoop(countPaint), 0);
}

}  // namespace
