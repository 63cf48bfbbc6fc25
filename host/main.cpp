// scenehost's entry point: screen mode's window and set-up, with the
// generated source's scene() drawn where screen mode reads its scene file
// (compiled in, so there is no file to watch) and its own myInit().
#include "scenehost.h"
#include "viewer/view.h"
#include "viewer/viewer_window.h"

int main() {
    setFrameDrawer(scene);
    if (!openViewerWindow()) return 1;
    return runViewer(myInit);
}
