#include "viewer/viewer_window.h"

#include "viewer/keys.h"
#include "viewer/view.h"
#include "window/window.h"

int openViewerWindow() {
    setDisplayMode(ModeDoubleBuffer | ModeDepth16);
    setWindowPosition(0, 0, 500, 500);
    if (!openWindow("Mirovan")) return 0;  // the window layer has said why
    addKeyHandler(KeyUp, increaseAngleX);
    addKeyHandler(KeyDown, decreaseAngleX);
    addKeyHandler(KeyRight, decreaseAngleY);
    addKeyHandler(KeyLeft, increaseAngleY);
    addKeyHandler(KeyReturn, toggleSpin);
    addKeyHandler(KeyHome, homeView);
    setDragHandler(dragView);
    setWheelHandler(wheelZoom);
    return 1;
}

int runViewer(void (*init)()) {
    init();
    setReshapeHandler(reshapeView);
    setIdleHandler(nullptr);  // toggleSpin installs spinIdle while the view spins
    return runMainLoop(displayFrame);
}
