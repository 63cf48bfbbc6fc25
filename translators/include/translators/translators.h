// The two translators: a scene to VRML 1.0 text, and a scene to C++ source
// that replays it through OpenGL and GestionOpenGL. Each reads the scene once,
// echoes every statement on standard output and returns whether it succeeded;
// why it failed is the output module's lastSceneRun (output/scene_run.h), for
// the mode to tell its user.
#pragma once

#include <cstddef>
#include <cstdio>

bool VrmlTranslator(const char* sceneFile, const char* outputFile);
bool SourceTranslator(const char* sceneFile, const char* outputFile);

// The same translations of a scene held in memory into an open output, which
// stays open; false if a write failed. For tests and fuzzing.
bool VrmlTranslateMemory(const void* scene, std::size_t size, std::FILE* output);
bool SourceTranslateMemory(const void* scene, std::size_t size, std::FILE* output);
