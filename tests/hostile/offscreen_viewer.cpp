#include "hostile/offscreen_viewer.h"

#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "scene/console.h"
#include "common/run.h"
#include "fuzz/memory_text.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

OffscreenViewer::OffscreenViewer() : scenePath_(scratchDirectory() + "/scene.scn") {
    static const bool opened = (openViewerSession(), true);
    (void)opened;
    freshViewerState();
    setSceneFileName(scenePath_.c_str());
}

std::string OffscreenViewer::frame() {
    ConsoleCapture echo;
    displayFrame();
    return withoutNotices(echo.take());
}

void OffscreenViewer::quietFrames(int count) {
    std::FILE* null = std::fopen("/dev/null", "w");
    consoleFlush();
    std::FILE* saved = console().file;
    textOpen(console(), null);
    for (int k = 0; k < count; ++k) displayFrame();
    textFlush(console());
    textOpen(console(), saved);
    std::fclose(null);
}

long residentKilobytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
