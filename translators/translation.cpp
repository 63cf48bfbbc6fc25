#include "translation.h"

#include <cstdint>
#include <cstdio>

#include <sys/stat.h>

#include "output_file.h"
#include "scene/console.h"
#include "scene/echo.h"

namespace {

struct TranslationState {
    TextOut output;
    IndentPrefix prefix;
    std::uint64_t openPushes;  // Pushes whose Pop has not come yet
    SceneStatement written;    // a statement with its non-finite numbers as 0
};

TranslationState translation;

// The scene file itself given as the output: writing it would empty the
// scene before it is read.
bool sameFile(const char* scene, const char* output) {
#ifdef _WIN32
    return sameFileOnWindows(scene, output);
#else
    struct stat first, second;
    return ::stat(scene, &first) == 0 && S_ISREG(first.st_mode) && ::stat(output, &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#endif
}

// The echo shows a number as read, but no reader of the output takes nan or
// inf: such a number is written as 0, as its value already is.
const SceneStatement& asWritten(const SceneStatement& statement) {
    if (statement.nonFinite == 0) return statement;
    SceneStatement& copy = translation.written;
    copy = statement;
    for (int n = 0; n < copy.count; ++n)
        if (copy.nonFinite & (1u << n)) setFixedText(copy.texts[n], 0.0);
    return copy;
}

// Brackets stay paired in the output whatever the scene: a Pop with no Push
// open is echoed and otherwise dropped, and a Push still open at the end is
// closed as its Pop would have closed it.
bool writesBlock(StatementKind kind) {
    if (kind == StatementKind::Push) ++translation.openPushes;
    if (kind != StatementKind::Pop) return kind != StatementKind::Unrecognised;
    if (translation.openPushes == 0) return false;
    --translation.openPushes;
    return true;
}

void closeOpenPushes(const TranslationMode& mode) {
    static const SceneStatement kPop = {StatementKind::Pop, 0, 0, 0, {}, {}};
    for (; translation.openPushes > 0; --translation.openPushes)
        mode.writeStatement(translation.output, translation.prefix, kPop);
}

// Header, one block per statement with its echo, trailer; false if a write
// to the output failed. The output is not closed.
bool translateInto(const TranslationMode& mode, std::FILE* file) {
    TextOut& out = translation.output;
    TextOut& echo = console();
    textOpen(out, file);
    resetIndent(translation.prefix, mode.initialIndent);
    translation.openPushes = 0;

    textPut(out, mode.header);
    SceneStatement statement;
    while (nextStatement(statement, mode.precision)) {
        if (statement.kind != StatementKind::Unrecognised) textPutEcho(echo, statement);
        if (writesBlock(statement.kind))
            mode.writeStatement(out, translation.prefix, asWritten(statement));
        textPutChar(echo, '\n');
    }
    closeOpenPushes(mode);
    textPut(out, mode.trailer);
    return textFlush(out);
}

}  // namespace

bool runTranslation(const TranslationMode& mode, const char* sceneFile, const char* outputFile) {
    const SceneOpen opened = openScene(sceneFile);
    if (opened != SceneOpen::Opened) {
        reportUnopenedScene(opened, sceneFile);
        return false;
    }

    OutputFile output;
    if (sameFile(sceneFile, outputFile) || !openOutput(output, outputFile)) {
        textPrintf(console(), "%s ne peut pas etre cree!!!\n", outputFile);
        closeScene();
        return false;
    }

    const bool translated = translateInto(mode, output.file);
    const bool readFailed = sceneReadFailed();
    closeScene();
    const bool written = closeOutput(output, translated && !readFailed);

    if (readFailed) {
        reportUnopenedScene(SceneOpen::Unreadable, sceneFile);
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
