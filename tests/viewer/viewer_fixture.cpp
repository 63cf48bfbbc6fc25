#include "tests/viewer/viewer_fixture.h"

#include <GL/gl.h>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "headless/headless.h"
#include "scene/textout.h"
#include "support/support_state.h"
#include "tests/common/run.h"
#include "viewer/viewer.h"

std::string captureStdout(void (*work)(void*), void* context) {
    consoleFlush();
    char path[] = "/tmp/mirovan-stdout-XXXXXX";
    const int fd = mkstemp(path);
    const int saved = dup(1);
    dup2(fd, 1);
    work(context);
    consoleFlush();
    dup2(saved, 1);
    close(saved);
    close(fd);
    std::string text = readFile(path);
    unlink(path);
    return text;
}

void ViewerTest::SetUpTestSuite() { ASSERT_TRUE(openHeadlessContext(500, 500)) << headlessError(); }

void ViewerTest::TearDownTestSuite() { closeHeadlessContext(); }

void ViewerTest::SetUp() {
    // A fresh start: GL lights, material and matrices as a new window has them.
    resetSupportState();
    resetView();
    glMatrixMode(GL_MODELVIEW);
    GLint depth = 1;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    while (depth-- > 1) glPopMatrix();
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    const float black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    for (int k = 1; k < 8; ++k) glDisable(GL_LIGHT0 + k);
    const float white[4] = {1, 1, 1, 1}, z[4] = {0, 0, 1, 0};
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_POSITION, z);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180);
    myInit();
    reshapeView(500, 500);
    scenePath = scratchDirectory() + "/scene.scn";
    setSceneFileName(scenePath.c_str());
}

void ViewerTest::useScene(const std::string& text) { writeFile(scenePath, text); }

std::string ViewerTest::frames(int count) {
    return captureStdout(
        [](void* n) {
            for (int i = *static_cast<int*>(n); i > 0; --i) displayFrame();
        },
        &count);
}

std::vector<unsigned char> ViewerTest::pixels() {
    int w = 0, h = 0;
    rgb.clear();
    readPixelsRGB(rgb, w, h);
    return rgb;
}

unsigned ViewerTest::pixel(int x, int y) {
    pixels();
    const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * 500 + x) * 3];
    return (p[0] << 16) | (p[1] << 8) | p[2];
}
