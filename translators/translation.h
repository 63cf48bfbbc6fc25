// The run shared by both translators: open the scene and the output, write
// the header, one block per statement with its echo, the trailer, close.
#pragma once

#include <cstddef>
#include <cstdio>

#include "scene/scene.h"
#include "scene/textout.h"
#include "indent.h"

struct TranslationMode {
    NumberPrecision precision;
    int initialIndent;
    const char* header;
    const char* trailer;
    void (*writeStatement)(TextOut& out, IndentPrefix& prefix, const SceneStatement& statement);
};

bool runTranslation(const TranslationMode& mode, const char* sceneFile, const char* outputFile);
// The same run over a scene held in memory, written to an open output that
// stays open; false if a write failed.
bool runTranslationMemory(const TranslationMode& mode, const void* scene, std::size_t size,
                          std::FILE* output);
