// A large scene translated on several threads. The scene is cut into
// segments just before a keyword that stands between blanks, where the
// reading loop is bound to be between statements. Each thread translates
// whole segments as if no bracket were open before them; once the brackets
// open before a segment are known, the lines that stand deeper get the
// blanks they lack and the Pops that close nothing are left out. The texts are written in the
// scene's order. A segment whose text outgrows what a thread may hold is
// written by its own thread at its turn, and the scene after it is read on
// in order. Every byte is read through the descriptor the reader opened.
#pragma once

#include <cstdint>
#include <cstdio>

#include "translation.h"

// Threads that pay for a scene of `sceneSize` bytes (-1: not a regular
// file): up to the cores this process may run on, 1 for a small scene.
int translationThreads(std::int64_t sceneSize);

// Header, statements and trailer into `output`, the echo on the console and
// the reports on standard error, as one thread writes them, for the scene
// open in the reader, which is handed over; false if a write failed.
// `readFailed` tells whether the scene could not be read to its end.
bool translateOnThreads(const TranslationMode& mode, int threads, const char* sceneFile,
                        std::FILE* output, bool& readFailed);
