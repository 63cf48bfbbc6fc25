#include "translation.h"

#include <cstdint>
#include <cstdio>

#include "parallel.h"
#include "output/scene_run.h"
#include "scene/console.h"
#include "scene/echo.h"
#include "scene/reports.h"

namespace {

struct TranslationState {
    TextOut output;
    Translator translator;
};

TranslationState translation;

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

// Header, one block per statement with its echo, trailer; false if a write
// to the output failed. The output is not closed.
bool translateInto(const TranslationMode& mode, std::FILE* file) {
    TextOut& out = translation.output;
    textOpen(out, file);
    startTranslator(translation.translator, mode, out, console(), 0);
    textPut(out, mode.header);
    translateStatements(translation.translator);
    closeOpenPushes(translation.translator);
    textPut(out, mode.trailer);
    return textFlush(out);
}

// Large scenes go on the threads the process may use.
bool writeTranslation(const void* job, const char* sceneFile, std::FILE* file, bool& readFailed) {
    const TranslationMode& mode = *static_cast<const TranslationMode*>(job);
    const int threads = translationThreads(openSceneSize());
    if (threads > 1) return translateOnThreads(mode, threads, sceneFile, file, readFailed);
    const bool translated = translateInto(mode, file);
    readFailed = sceneReadFailed();
    writeAllSceneReports(sceneFile);
    closeScene();
    return translated;
}

}  // namespace

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

void startTranslator(Translator& t, const TranslationMode& mode, TextOut& out, TextOut& echo,
                     std::uint64_t openPushes) {
    t.mode = &mode;
    t.out = &out;
    t.echo = &echo;
    resetIndent(t.prefix, mode.initialIndent, openPushes);
    t.openPushes = openPushes;
    t.statements = 0;
}

void translateStatements(Translator& t) {
    SceneStatement statement;
    while (nextStatement(statement, t.mode->precision)) {
        if (statement.kind != StatementKind::Unrecognised) textPutEcho(*t.echo, statement);
        if (writesBlock(t, statement.kind))
            t.mode->writeStatement(*t.out, t.prefix, asWritten(t, statement));
        textPutChar(*t.echo, '\n');
    }
}

void closeOpenPushes(Translator& t) {
    static const SceneStatement kPop = {StatementKind::Pop, 0, 0, 0, {}, {}};
    for (; t.openPushes > 0; --t.openPushes) t.mode->writeStatement(*t.out, t.prefix, kPop);
}

bool runTranslation(const TranslationMode& mode, const char* sceneFile, const char* outputFile) {
    return writeSceneToFile(sceneFile, outputFile, writeTranslation, &mode).ok();
}

bool runTranslationMemory(const TranslationMode& mode, const void* scene, std::size_t size,
                          std::FILE* output) {
    openSceneMemory(scene, size);
    const bool written = translateInto(mode, output);
    closeScene();
    return written;
}
