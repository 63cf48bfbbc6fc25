#include "screen_mode.h"

#include "scene/console.h"
#include "viewer/viewer.h"
#include "window/window.h"

int runScreenMode(const char* sceneFileName) {
    consoleFlush();  // the banner, before the window takes over
    setSceneFileName(sceneFileName);
    if (!openViewerWindow()) return 1;
    setTimerHandler(watchSceneFile, kWatchIntervalSeconds);
    return runViewer(myInit);
}
