#include "driver/screen_mode.h"

#include "scene/textout.h"
#include "viewer/viewer.h"
#include "window/window.h"

int runScreenMode(const char* sceneFileName) {
    consoleFlush();   // the banner, before the window takes over
    setSceneFileName(sceneFileName);

    setDisplayMode(ModeDoubleBuffer | ModeDepth16);
    setWindowPosition(0, 0, 500, 500);
    if (!openWindow("Mirovan")) return 1;   // the window layer has said why

    addKeyHandler(KeyUp, increaseAngleX);
    addKeyHandler(KeyDown, decreaseAngleX);
    addKeyHandler(KeyRight, decreaseAngleY);
    addKeyHandler(KeyLeft, increaseAngleY);
    addKeyHandler(KeyReturn, toggleSpin);
    myInit();
    setReshapeHandler(reshapeView);
    setIdleHandler(nullptr);   // toggleSpin installs spinIdle while the view spins
    setTimerHandler(watchSceneFile, kWatchIntervalSeconds);
    return runMainLoop(displayFrame);
}
