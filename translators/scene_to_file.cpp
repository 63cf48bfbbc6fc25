#include "scene_to_file.h"

#include <sys/stat.h>

#include "output_file.h"
#include "scene/console.h"
#include "scene/scene.h"
#include "translators/whole_output.h"

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

void sayNotCreated(const char* outputFile) {
    textPrintf(console(), "%s ne peut pas etre cree!!!\n", outputFile);
}

void sayNotWritten(const char* outputFile) {
    textPrintf(console(), "%s ne peut pas etre ecrit!!!\n", outputFile);
}

}  // namespace

bool writeWholeOutput(const char* sceneFile, const char* outputFile, OutputWriter write,
                      const void* job) {
    OutputFile output;
    if (sameFile(sceneFile, outputFile) || !openOutput(output, outputFile)) {
        sayNotCreated(outputFile);
        return false;
    }
    const bool wrote = write(output.file, job);
    if (closeOutput(output, wrote)) return true;
    sayNotWritten(outputFile);
    return false;
}

bool writeSceneToFile(const char* sceneFile, const char* outputFile, SceneWriter write,
                      const void* job) {
    const SceneOpen opened = openScene(sceneFile);
    if (opened != SceneOpen::Opened) {
        reportUnopenedScene(opened, sceneFile);
        return false;
    }
    OutputFile output;
    if (sameFile(sceneFile, outputFile) || !openOutput(output, outputFile)) {
        sayNotCreated(outputFile);
        closeScene();
        return false;
    }

    bool readFailed = false;
    const bool wrote = write(job, sceneFile, output.file, readFailed);
    const bool written = closeOutput(output, wrote && !readFailed);

    if (readFailed) {
        reportUnopenedScene(SceneOpen::Unreadable, sceneFile);
        return false;
    }
    if (!written) {
        sayNotWritten(outputFile);
        return false;
    }
    return true;
}
