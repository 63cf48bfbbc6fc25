#pragma once

// Starts a private Xvfb for this process (once) and points DISPLAY at it.
// The server is killed when the process ends, however it ends.
// Returns false, with the reason on standard error, if it would not start.
bool useOwnXvfb();
