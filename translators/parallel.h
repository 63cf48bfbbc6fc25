// A large scene translated on two threads. The scene is cut into segments
// just before a keyword that stands between blanks, where the reading loop
// is bound to be between statements; each thread translates whole segments
// into buffers of its own, and the texts are written in the scene's order.
#pragma once

#include <cstdio>

#include "translation.h"

// Whether the scene is large enough, and the machine has the cores, for a
// second thread to pay.
bool worthTwoThreads(const char* sceneFile);

// Header, statements and trailer into `output`, the echo on the console, as
// the one-thread run writes them; false if a write failed. `readFailed`
// tells whether the scene could not be read to its end.
bool translateOnTwoThreads(const TranslationMode& mode, const char* sceneFile, std::FILE* output,
                           bool& readFailed);
