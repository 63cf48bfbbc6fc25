#include "translators/export_run.h"

#include <sys/stat.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "output_file.h"
#include "scene/console.h"
#include "scene/echo.h"
#include "scene/reports.h"

namespace {

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

// Every statement echoed and handed over; unrecognised tokens echo an empty
// line, as in every mode.
void readAll(const ExportMode& mode) {
    TextOut& echo = console();
    mode.begin();
    SceneStatement statement;
    while (nextStatement(statement, NumberPrecision::Mixed)) {
        if (statement.kind != StatementKind::Unrecognised) textPutEcho(echo, statement);
        textPutChar(echo, '\n');
        mode.take(statement);
    }
}

}  // namespace

bool runExport(const ExportMode& mode, const char* sceneFile, const char* outputFile) {
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

#ifdef _WIN32
    _setmode(_fileno(output.file), _O_BINARY);  // exports are bytes, not text lines
#endif
    readAll(mode);
    const bool readFailed = sceneReadFailed();
    writeAllSceneReports(sceneFile);
    closeScene();
    const bool wrote = !readFailed && mode.write(output.file);
    const bool written = closeOutput(output, wrote);

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

bool runExportMemory(const ExportMode& mode, const void* scene, std::size_t size,
                     std::FILE* output) {
    openSceneMemory(scene, size);
    readAll(mode);
    closeScene();
    return mode.write(output);
}
