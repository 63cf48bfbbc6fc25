// The run shared by both translators: open the scene and the output, write
// the header, one block per statement with its echo, the trailer, close.
#pragma once

#include <cstddef>
#include <cstdint>
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

// One translation in progress: where its text and echo go, and how deep in
// brackets it is. A run has one; a run on two threads has one per thread.
struct Translator {
    const TranslationMode* mode;
    TextOut* out;
    TextOut* echo;
    IndentPrefix prefix;
    std::uint64_t openPushes;  // Pushes whose Pop has not come yet
    std::uint64_t statements;  // taken so far, unrecognised tokens included
    SceneStatement written;    // a statement with its non-finite numbers as 0
};

// Starts with `openPushes` brackets open before the text it translates.
void startTranslator(Translator& t, const TranslationMode& mode, TextOut& out, TextOut& echo,
                     std::uint64_t openPushes);
// Translates the open scene's statements to its end.
void translateStatements(Translator& t);
// The statement as the output shows it: a number read as nan or inf as 0.
const SceneStatement& asWritten(Translator& t, const SceneStatement& statement);
// Closes the Pushes still open, as their Pops would have.
void closeOpenPushes(Translator& t);
