// The two translators: a scene to VRML 1.0 text, and a scene to C++ source
// that replays it through OpenGL and GestionOpenGL. Each reads the scene once,
// echoes every statement on standard output and returns whether it succeeded.
#pragma once

bool VrmlTranslator(const char* sceneFile, const char* outputFile);
bool SourceTranslator(const char* sceneFile, const char* outputFile);
