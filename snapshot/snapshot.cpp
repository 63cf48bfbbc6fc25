// mirovan-snapshot: screen mode's picture of a scene, rendered without a
// display and written as a PNG.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "headless/headless.h"
#include "scene/scene.h"
#include "scene/console.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

namespace {

struct SnapshotRequest {
    const char* scene = nullptr;
    const char* output = nullptr;
    int width = 500;
    int height = 500;
    float angleX = 0.0f;
    float angleY = 0.0f;
    int frames = 1;
};

int usage() {
    std::fprintf(
        stderr, "Usage: mirovan-snapshot SCENE OUT.png [--size W H] [--view AX AY] [--frames N]\n");
    return 2;
}

bool parseInt(const char* text, int low, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > 16384) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseAngle(const char* text, float& value) {
    char* end = nullptr;
    value = std::strtof(text, &end);
    return end != text && *end == '\0';
}

bool parse(int argc, char** argv, SnapshotRequest& request) {
    if (argc < 3) return false;
    request.scene = argv[1];
    request.output = argv[2];
    for (int i = 3; i < argc; ++i) {
        const bool hasTwo = i + 2 < argc;
        if (std::strcmp(argv[i], "--size") == 0 && hasTwo) {
            if (!parseInt(argv[i + 1], 1, request.width) ||
                !parseInt(argv[i + 2], 1, request.height))
                return false;
            i += 2;
        } else if (std::strcmp(argv[i], "--view") == 0 && hasTwo) {
            if (!parseAngle(argv[i + 1], request.angleX) ||
                !parseAngle(argv[i + 2], request.angleY))
                return false;
            i += 2;
        } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            if (!parseInt(argv[++i], 1, request.frames)) return false;
        } else {
            return false;
        }
    }
    return true;
}

// A scene that cannot be read is a failure here, not a black picture. One
// that can be read only once is read by setSceneFileName, and never opened
// again.
bool sceneReadable(const char* path) {
    SceneOpen opened = SceneOpen::Opened;
    switch (setSceneFileName(path)) {
        case SceneSource::File:
            opened = openScene(path);
            closeScene();
            break;
        case SceneSource::Copy: break;
        case SceneSource::TooLarge: return false;  // already said
        case SceneSource::Unreadable: opened = SceneOpen::Unreadable; break;
    }
    if (opened == SceneOpen::Opened) return true;
    reportUnopenedScene(opened, path);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    SnapshotRequest request;
    if (!parse(argc, argv, request)) return usage();
    if (!sceneReadable(request.scene)) {
        consoleFlush();
        return 1;
    }
    if (!openHeadlessContext(request.width, request.height)) {
        std::fprintf(stderr, "Error: no offscreen OpenGL context: %s\n", headlessError());
        return 1;
    }
    myInit();
    reshapeView(request.width, request.height);
    setViewAngles(request.angleX, request.angleY);
    setFrameDrawer(drawScene);
    for (int i = 0; i < request.frames; ++i) displayFrame();

    const bool saved = savePicture(request.output);
    closeHeadlessContext();
    if (!saved) textPrintf(console(), "%s ne peut pas etre ecrit!!!\n", request.output);
    consoleFlush();
    return saved ? 0 : 1;
}
