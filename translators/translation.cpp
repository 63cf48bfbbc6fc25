#include "translators/translation.h"

#include <cstdio>

namespace {

struct TranslationState {
    TextOut output;
    IndentPrefix prefix;
};

TranslationState translation;

bool reportSceneNotOpened(SceneOpen result, const char* sceneFile) {
    if (result == SceneOpen::Missing) textPrintf(console(), "%s n'existe pas!!!\n", sceneFile);
    else textPrintf(console(), "%s n'est pas lisible!!!\n", sceneFile);
    return false;
}

}  // namespace

bool runTranslation(const TranslationMode& mode, const char* sceneFile, const char* outputFile) {
    const SceneOpen opened = openScene(sceneFile);
    if (opened != SceneOpen::Opened) return reportSceneNotOpened(opened, sceneFile);

    std::FILE* file = std::fopen(outputFile, "w");
    if (file == nullptr) {
        textPrintf(console(), "%s ne peut pas etre cree!!!\n", outputFile);
        closeScene();
        return false;
    }

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

    bool written = textFlush(out);
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
