#include "translators/translation.h"

#include <cstdio>

#include <sys/stat.h>

namespace {

struct TranslationState {
    TextOut output;
    IndentPrefix prefix;
};

TranslationState translation;

bool reportSceneNotOpened(SceneOpen result, const char* sceneFile) {
    if (result == SceneOpen::Missing)
        textPrintf(console(), "%s n'existe pas!!!\n", sceneFile);
    else
        textPrintf(console(), "%s n'est pas lisible!!!\n", sceneFile);
    return false;
}

// The scene file itself given as the output: writing it would empty the
// scene before it is read.
bool sameFile(const char* scene, const char* output) {
    struct stat first, second;
    return ::stat(scene, &first) == 0 && S_ISREG(first.st_mode) && ::stat(output, &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Header, one block per statement with its echo, trailer; false if a write
// to the output failed. The output is not closed.
bool translateInto(const TranslationMode& mode, std::FILE* file) {
    TextOut& out = translation.output;
    TextOut& echo = console();
    textOpen(out, file);
    resetIndent(translation.prefix, mode.initialIndent);

    textPut(out, mode.header);
    SceneStatement statement;
    while (nextStatement(statement, mode.precision)) {
        if (statement.kind != StatementKind::Unrecognised) {
            textPutEcho(echo, statement);
            mode.writeStatement(out, translation.prefix, statement);
        }
        textPutChar(echo, '\n');
    }
    textPut(out, mode.trailer);
    return textFlush(out);
}

}  // namespace

bool runTranslation(const TranslationMode& mode, const char* sceneFile, const char* outputFile) {
    const SceneOpen opened = openScene(sceneFile);
    if (opened != SceneOpen::Opened) return reportSceneNotOpened(opened, sceneFile);

    std::FILE* file = sameFile(sceneFile, outputFile) ? nullptr : std::fopen(outputFile, "w");
    if (file == nullptr) {
        textPrintf(console(), "%s ne peut pas etre cree!!!\n", outputFile);
        closeScene();
        return false;
    }

    bool written = translateInto(mode, file);
    if (std::fclose(file) != 0) written = false;
    const bool readFailed = sceneReadFailed();
    closeScene();

    if (readFailed) {
        textPrintf(console(), "%s n'est pas lisible!!!\n", sceneFile);
        return false;
    }
    if (!written) {
        textPrintf(console(), "%s ne peut pas etre ecrit!!!\n", outputFile);
        return false;
    }
    return true;
}

bool runTranslationMemory(const TranslationMode& mode, const void* scene, std::size_t size,
                          std::FILE* output) {
    openSceneMemory(scene, size);
    const bool written = translateInto(mode, output);
    closeScene();
    return written;
}
