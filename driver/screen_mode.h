// Screen mode: the window, the handlers and the event loop.
#pragma once

// Returns the exit status once the window is closed.
int runScreenMode(const char* sceneFileName);
