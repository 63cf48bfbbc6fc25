// Standard output, shared by the echo and every message of the program, so
// that they keep their order and leave in large pieces.
#pragma once

#include "scene/textout.h"

TextOut& console();
// Flushes the console into standard output and standard output itself;
// false if anything written so far did not reach it.
bool consoleFlush();
