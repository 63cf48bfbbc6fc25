#include "scene_to_file.h"

#include <sys/stat.h>

#include "output_file.h"
#include "scene/console.h"
#include "scene/scene.h"

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

}  // namespace

bool writeSceneToFile(const char* sceneFile, const char* outputFile, SceneWriter write,
                      const void* job) {
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

    bool readFailed = false;
    const bool wrote = write(job, sceneFile, output.file, readFailed);
    const bool written = closeOutput(output, wrote && !readFailed);

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
