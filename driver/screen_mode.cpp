#include "screen_mode.h"

#include "scene/console.h"
#include "viewer/scene_source.h"
#include "viewer/screenshot.h"
#include "viewer/view.h"
#include "viewer/viewer_window.h"
#include "viewer/watch.h"
#include "window/window.h"

int runScreenMode(const char* sceneFileName) {
    consoleFlush();  // the banner, before the window takes over
    // A scene that can be read only once is read now, before any window.
    if (setSceneFileName(sceneFileName) == SceneSource::TooLarge) return 1;
    setFrameDrawer(drawScene);
    if (!openViewerWindow()) return 1;
    addKeyHandler(KeyF12, requestScreenshot);
    setFrameReadyHook(saveRequestedScreenshot);
    setTimerHandler(watchSceneFile, kWatchIntervalSeconds);
    return runViewer(myInit);
}
