// An output written from a scene as the translators write theirs: never the
// scene itself under another name or link, the bytes going to a new file that
// takes the output's name only once complete, and an earlier output left
// exactly as it was on failure.
#pragma once

#include <cstdio>

#include "output/result.h"

// Fills the open output (text mode on Windows, as the translators'); false
// if a write failed.
using OutputWriter = bool (*)(std::FILE* output, const void* job);

// Writes `outputFile` through `write`: NotCreated if it is the scene or
// cannot be created, NotWritten if it was not wholly written. Says nothing.
OutputResult writeWholeOutput(const char* sceneFile, const char* outputFile, OutputWriter write,
                              const void* job);
