// What every run from a scene file to an output file shares: the scene and
// the output opened (never the scene itself as its own output), the text
// written, the output then put in place or left exactly as it was, and the
// result the mode tells its user.
#pragma once

#include <cstdio>

#include "output/result.h"

// Writes `output` from the open scene and closes the scene; false if a write
// failed. Sets `readFailed` when a read error, not the end, stopped it.
using SceneWriter = bool (*)(const void* job, const char* sceneFile, std::FILE* output,
                             bool& readFailed);

// Says nothing to the user; the result is also kept for lastSceneRun.
OutputResult writeSceneToFile(const char* sceneFile, const char* outputFile, SceneWriter write,
                              const void* job);

// The result of this process's last writeSceneToFile, for the mode whose
// translator or export returns only whether it succeeded.
const OutputResult& lastSceneRun();
