// The run shared by both translators: open the scene and the output, write
// the header, one block per statement with its echo, the trailer, close.
#pragma once

#include "scene/scene.h"
#include "scene/textout.h"
#include "translators/indent.h"

struct TranslationMode {
    NumberPrecision precision;
    int initialIndent;
    const char* header;
    const char* trailer;
    void (*writeStatement)(TextOut& out, IndentPrefix& prefix, const SceneStatement& statement);
};

bool runTranslation(const TranslationMode& mode, const char* sceneFile, const char* outputFile);
