// The offscreen viewer for the hostile-input tests: one context per test
// program, a scene file of its own, frames with their echo.
#pragma once

#include <string>

#include "fuzz/viewer_session.h"

class OffscreenViewer {
public:
    OffscreenViewer();  // fresh viewer state, drawing a scene file of its own
    const std::string& scenePath() const { return scenePath_; }
    // One frame; its echo without the support module's notices.
    std::string frame();
    // Many frames, the echo thrown away.
    void quietFrames(int count);

private:
    std::string scenePath_;
};

long residentKilobytes();
