// An output written from a scene as the translators write theirs: never the
// scene itself under another name or link, the bytes going to a new file that
// takes the output's name only once complete, an earlier output left exactly
// as it was on failure, and the translators' messages.
#pragma once

#include <cstdio>

// Fills the open output (text mode on Windows, as the translators'); false
// if a write failed.
using OutputWriter = bool (*)(std::FILE* output, const void* job);

// Writes `outputFile` through `write`; false, with the message said on the
// console, if it is the scene, cannot be created, or was not wholly written.
bool writeWholeOutput(const char* sceneFile, const char* outputFile, OutputWriter write,
                      const void* job);
