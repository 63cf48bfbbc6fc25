// F12 in screen mode: the window's picture as a PNG beside the scene file,
// named after it with the next free number (robot-1.png, robot-2.png...),
// or in the current folder when the scene's folder cannot take it. One
// line on standard output says where it went, or why it could not.
#pragma once

// The F12 handler: the next frame drawn is saved, exactly as it is shown.
void requestScreenshot();
// The frame-ready hook (setFrameReadyHook): saves the frame if asked.
void saveRequestedScreenshot();
