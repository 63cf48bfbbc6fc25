// Screen mode's window: 500 x 500 at the screen's corner, titled "Mirovan",
// with the view's keys; the scene host opens the same one.
#pragma once

// 0 if it could not be opened (the window layer has said why).
int openViewerWindow();
// Then: the GL set-up `init`, the view's handlers, and the event loop until
// the window closes; returns the loop's result.
int runViewer(void (*init)());
