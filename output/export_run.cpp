#include "output/export_run.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "scene/console.h"
#include "scene/echo.h"
#include "scene/reports.h"
#include "output/scene_run.h"

namespace {

// Every statement echoed and handed over; unrecognised tokens echo an empty
// line, as in every mode.
void readAll(const ExportMode& mode, std::FILE* output) {
    TextOut& echo = console();
    mode.begin(output);
    SceneStatement statement;
    while (nextStatement(statement, NumberPrecision::Mixed)) {
        if (statement.kind != StatementKind::Unrecognised) textPutEcho(echo, statement);
        textPutChar(echo, '\n');
        mode.take(statement);
    }
}

// The whole scene first, then the file: nothing is written from a scene that
// could not be read to its end.
bool writeExport(const void* job, const char* sceneFile, std::FILE* file, bool& readFailed) {
    const ExportMode& mode = *static_cast<const ExportMode*>(job);
#ifdef _WIN32
    _setmode(_fileno(file), _O_BINARY);  // exports are bytes, not text lines
#endif
    readAll(mode, file);
    readFailed = sceneReadFailed();
    writeAllSceneReports(sceneFile);
    closeScene();
    if (readFailed && mode.abandon) mode.abandon();
    return !readFailed && mode.write(file);
}

}  // namespace

bool runExport(const ExportMode& mode, const char* sceneFile, const char* outputFile) {
    return writeSceneToFile(sceneFile, outputFile, writeExport, &mode).ok();
}

bool runExportMemory(const ExportMode& mode, const void* scene, std::size_t size,
                     std::FILE* output) {
    openSceneMemory(scene, size);
    readAll(mode, output);
    closeScene();
    return mode.write(output);
}
