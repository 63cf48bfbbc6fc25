// One translator run through the real program, checked against what the
// scene model says the file and the echo must be.
#pragma once

#include <string>

#include "common/run.h"

struct TranslatorMode {
    const char* flag;  // "-vrml" or "-opengl"
    const char* extension;
};
extern const TranslatorMode kTranslatorModes[2];

struct TranslationRun {
    RunResult run;
    std::string echo;    // standard output after the banner line
    std::string output;  // the output file, "" if none or not a plain file
};

TranslationRun runTranslator(const TranslatorMode& mode, const std::string& scene,
                             const std::string& output);

// Empty when the output and the echo are exactly what the scene should give
// and the output keeps its shape rules; otherwise what is wrong.
std::string checkTranslation(const TranslatorMode& mode, const std::string& scene,
                             const TranslationRun& t);
