#include "viewer/viewer_fixture.h"

#include <GL/gl.h>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "headless/headless.h"
#include "scene/console.h"
#include "support/support_state.h"
#include "common/run.h"
#include "common/window_defaults.h"
#include "viewer/keys.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

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
    // A fresh start: GL lights, material and matrices as a new window has
    // them, the view at rest, and the next frame taken as the first.
    resetSupportState();
    resetView();
    stopSpin();
    restoreWindowDefaults(500);
    scenePath = scratchDirectory() + "/scene.scn";
    setSceneFileName(scenePath.c_str());
    setFrameDrawer(drawScene);
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
