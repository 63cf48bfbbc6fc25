#include <GL/gl.h>

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "fuzz/checks.h"
#include "fuzz/memory_text.h"
#include "fuzz/scene_model.h"
#include "fuzz/viewer_session.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

namespace {

struct ViewerCheckState {
    std::string scenePath;
};
ViewerCheckState viewerCheck;

void removeScene() { unlink(viewerCheck.scenePath.c_str()); }

bool writeScene(const std::uint8_t* data, std::size_t size) {
    const int fd = open(viewerCheck.scenePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < size;) {
        const ssize_t n = write(fd, data + done, size - done);
        ok = n > 0;
        done += ok ? static_cast<std::size_t>(n) : 0;
    }
    return close(fd) == 0 && ok;
}

std::string frame(const std::string& wantEcho, AfterFrame& after, int number) {
    ConsoleCapture echo;
    displayFrame();
    const std::string got = withoutNotices(echo.take());
    const std::string where = "frame " + std::to_string(number) + ": ";
    if (got != wantEcho) return where + "echo differs from the statements read";
    const std::string left = checkFrameLeft(after);
    return left.empty() ? "" : where + left;
}

}  // namespace

void setUpViewerCheck() {
    openViewerSession();
    viewerCheck.scenePath = "/tmp/mirovan-viewer-check-" + std::to_string(getpid()) + ".scn";
    std::atexit(removeScene);
}

std::string checkViewer(const std::uint8_t* data, std::size_t size) {
    if (!writeScene(data, size)) return "cannot write the scene file";
    freshViewerState();
    setSceneFileName(viewerCheck.scenePath.c_str());
    // List names only grow here; the ones this input makes are deleted after.
    const GLuint firstList = glGenLists(1);
    glDeleteLists(firstList, 1);

    const std::string wantEcho = expectedEcho(readStatements(data, size, NumberPrecision::Mixed));
    AfterFrame first{}, second{};
    std::string failure = frame(wantEcho, first, 1);
    if (failure.empty()) failure = frame(wantEcho, second, 2);
    if (failure.empty() && !(first == second))
        failure = "the second frame left other stacks, lights or lists than the first";

    const GLuint lastList = glGenLists(1);
    if (lastList >= firstList) glDeleteLists(firstList, lastList - firstList + 1);
    return failure;
}
