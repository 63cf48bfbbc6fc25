// main() of every compiled scene in these tests:
//   PROGRAM OUT.png [--view AX AY] [--frames N]
// takes the picture of the generated scene() the way mirovan-snapshot takes
// a scene file's: same 500 x 500 context, same set-up order, same view and
// frame handlers as the scene host's window.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <GL/gl.h>

#include "headless/headless.h"
#include "scenehost.h"
#include "viewer/view.h"

namespace {

struct PictureRequest {
    const char* output = nullptr;
    float angleX = 0.0f;
    float angleY = 0.0f;
    int frames = 1;
};

bool parse(int argc, char** argv, PictureRequest& request) {
    if (argc < 2) return false;
    request.output = argv[1];
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        if (std::strcmp(argv[i], "--view") == 0 && i + 2 < argc) {
            request.angleX = std::strtof(argv[++i], &end);
            request.angleY = std::strtof(argv[++i], &end);
        } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            request.frames = static_cast<int>(std::strtol(argv[++i], &end, 10));
        } else {
            return false;
        }
    }
    return request.frames > 0;
}

// scene() must leave the matrix stack as deep as it found it, whatever the
// scene's brackets.
struct DepthCheck {
    bool broken = false;
};
DepthCheck depthCheck;

void checkedScene() {
    GLint before = 0, after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &before);
    scene();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    if (after != before) {
        std::fprintf(stderr, "scene() left the modelview stack %d deep, found it %d deep\n", after,
                     before);
        depthCheck.broken = true;
    }
}

}  // namespace

int main(int argc, char** argv) {
    PictureRequest request;
    if (!parse(argc, argv, request)) {
        std::fprintf(stderr, "Usage: %s OUT.png [--view AX AY] [--frames N]\n", argv[0]);
        return 2;
    }
    if (!openHeadlessContext(500, 500)) {
        std::fprintf(stderr, "no offscreen OpenGL context: %s\n", headlessError());
        return 1;
    }
    setFrameDrawer(checkedScene);
    myInit();
    reshapeView(500, 500);
    setViewAngles(request.angleX, request.angleY);
    for (int i = 0; i < request.frames; ++i) displayFrame();

    const bool saved = savePicture(request.output);
    closeHeadlessContext();
    if (!saved) std::fprintf(stderr, "cannot write %s\n", request.output);
    return saved && !depthCheck.broken ? 0 : 1;
}
