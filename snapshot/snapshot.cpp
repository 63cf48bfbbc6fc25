// mirovan-snapshot: screen mode's picture of a scene, rendered without a
// display and written as a PNG.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "headless/headless.h"
#include "scene/scene.h"
#include "scene/console.h"
#include "output/whole_output.h"
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
    double zoom = 1.0;
    bool zoomAtCentre = true;
    double zoomX = 0.0, zoomY = 0.0;  // window pixels from the top-left corner
};

int usage() {
    std::fprintf(stderr,
                 "Usage: mirovan-snapshot SCENE OUT.png [--size W H] [--view AX AY] [--frames N]\n"
                 "                        [--zoom Z [--zoom-at X Y]]\n");
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

bool parseDouble(const char* text, double low, double high, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= low && value <= high;
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
        } else if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc) {
            if (!parseDouble(argv[++i], 0.01, 100.0, request.zoom)) return false;
        } else if (std::strcmp(argv[i], "--zoom-at") == 0 && hasTwo) {
            if (!parseDouble(argv[i + 1], -1e6, 1e6, request.zoomX) ||
                !parseDouble(argv[i + 2], -1e6, 1e6, request.zoomY))
                return false;
            request.zoomAtCentre = false;
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

bool writePicture(std::FILE* output, const void*) { return savePictureTo(output); }

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("mirovan-snapshot %s\n", MIROVAN_VERSION);
        return 0;
    }
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
    if (request.zoomAtCentre) {
        request.zoomX = request.width / 2.0;
        request.zoomY = request.height / 2.0;
    }
    // As the wheel zooms: the scene point at (X, Y) stays where it is.
    if (request.zoom != 1.0) zoomViewAt(request.zoom, request.zoomX, request.zoomY);
    setFrameDrawer(drawScene);
    for (int i = 0; i < request.frames; ++i) displayFrame();

    // The translators' output: never the scene itself, and an earlier
    // picture kept if this one cannot be written whole.
    const OutputResult saved =
        writeWholeOutput(request.scene, request.output, writePicture, nullptr);
    closeHeadlessContext();
    sayOutputFailure(saved);
    consoleFlush();
    return saved.ok() ? 0 : 1;
}
