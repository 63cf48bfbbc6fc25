#include "translation.h"

#include <cstdint>
#include <cstdio>

#include <sys/stat.h>

#include "output_file.h"
#ifdef MIROVAN_TWO_THREADS
#include "parallel.h"
#endif
#include "scene/console.h"
#include "scene/echo.h"

namespace {

struct TranslationState {
    TextOut output;
    Translator translator;
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
const SceneStatement& asWritten(Translator& t, const SceneStatement& statement) {
    if (statement.nonFinite == 0) return statement;
    SceneStatement& copy = t.written;
    copy = statement;
    for (int n = 0; n < copy.count; ++n)
        if (copy.nonFinite & (1u << n)) setFixedText(copy.texts[n], 0.0);
    return copy;
}

// Brackets stay paired in the output whatever the scene: a Pop with no Push
// open is echoed and otherwise dropped, and a Push still open at the end is
// closed as its Pop would have closed it.
bool writesBlock(Translator& t, StatementKind kind) {
    if (kind == StatementKind::Push) ++t.openPushes;
    if (kind != StatementKind::Pop) return kind != StatementKind::Unrecognised;
    if (t.openPushes == 0) return false;
    --t.openPushes;
    return true;
}

// A large scene goes on two threads: true when it went, with whether the
// translation and the reading succeeded. Only where the C library has cookie
// streams (not on Windows, whose console also turns line ends).
bool translatedOnTwoThreads(const TranslationMode& mode, const char* sceneFile, std::FILE* file,
                            bool& translated, bool& readFailed) {
#ifdef MIROVAN_TWO_THREADS
    if (!worthTwoThreads(sceneFile)) return false;
    closeScene();
    translated = translateOnTwoThreads(mode, sceneFile, file, readFailed);
    return true;
#else
    (void)mode, (void)sceneFile, (void)file, (void)translated, (void)readFailed;
    return false;
#endif
}

// Header, one block per statement with its echo, trailer; false if a write
// to the output failed. The output is not closed.
bool translateInto(const TranslationMode& mode, std::FILE* file) {
    TextOut& out = translation.output;
    textOpen(out, file);
    startTranslator(translation.translator, mode, out, console(), 0);
    textPut(out, mode.header);
    translateStatements(translation.translator, 0, nullptr);
    closeOpenPushes(translation.translator);
    textPut(out, mode.trailer);
    return textFlush(out);
}

}  // namespace

void startTranslator(Translator& t, const TranslationMode& mode, TextOut& out, TextOut& echo,
                     std::uint64_t openPushes) {
    t.mode = &mode;
    t.out = &out;
    t.echo = &echo;
    resetIndent(t.prefix, mode.initialIndent, openPushes);
    t.openPushes = openPushes;
    t.statements = 0;
}

void translateStatements(Translator& t, std::uint64_t skip, const bool* stop) {
    SceneStatement statement;
    for (; skip > 0 && nextStatement(statement, t.mode->precision); --skip) ++t.statements;
    if (skip > 0) return;
    while (nextStatement(statement, t.mode->precision)) {
        ++t.statements;
        if (statement.kind != StatementKind::Unrecognised) textPutEcho(*t.echo, statement);
        if (writesBlock(t, statement.kind))
            t.mode->writeStatement(*t.out, t.prefix, asWritten(t, statement));
        textPutChar(*t.echo, '\n');
        if (stop && *stop) return;
    }
}

void closeOpenPushes(Translator& t) {
    static const SceneStatement kPop = {StatementKind::Pop, 0, 0, 0, {}, {}};
    for (; t.openPushes > 0; --t.openPushes) t.mode->writeStatement(*t.out, t.prefix, kPop);
}

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

    bool translated = false, readFailed = false;
    if (!translatedOnTwoThreads(mode, sceneFile, output.file, translated, readFailed)) {
        translated = translateInto(mode, output.file);
        readFailed = sceneReadFailed();
        closeScene();
    }
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
