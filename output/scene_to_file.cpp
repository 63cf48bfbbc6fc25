#include <sys/stat.h>

#include "output/scene_run.h"
#include "output/whole_output.h"
#include "output_file.h"
#include "scene/scene.h"

namespace {

struct SceneRunState {
    OutputResult last;
};
SceneRunState sceneRun;

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

OutputResult failed(OutputFailure failure, const char* path) {
    OutputResult result;
    result.failure = failure;
    result.path = path;
    return result;
}

OutputResult unopened(SceneOpen opened, const char* sceneFile) {
    OutputResult result = failed(OutputFailure::SceneUnopened, sceneFile);
    result.sceneOpen = opened;
    return result;
}

OutputResult runSceneToFile(const char* sceneFile, const char* outputFile, SceneWriter write,
                            const void* job) {
    const SceneOpen opened = openScene(sceneFile);
    if (opened != SceneOpen::Opened) return unopened(opened, sceneFile);
    OutputFile output;
    if (sameFile(sceneFile, outputFile) || !openOutput(output, outputFile)) {
        closeScene();
        return failed(OutputFailure::NotCreated, outputFile);
    }

    bool readFailed = false;
    const bool wrote = write(job, sceneFile, output.file, readFailed);
    const bool written = closeOutput(output, wrote && !readFailed);

    if (readFailed) return unopened(SceneOpen::Unreadable, sceneFile);
    if (!written) return failed(OutputFailure::NotWritten, outputFile);
    return {};
}

}  // namespace

OutputResult writeWholeOutput(const char* sceneFile, const char* outputFile, OutputWriter write,
                              const void* job) {
    OutputFile output;
    if (sameFile(sceneFile, outputFile) || !openOutput(output, outputFile))
        return failed(OutputFailure::NotCreated, outputFile);
    const bool wrote = write(output.file, job);
    if (closeOutput(output, wrote)) return {};
    return failed(OutputFailure::NotWritten, outputFile);
}

OutputResult writeSceneToFile(const char* sceneFile, const char* outputFile, SceneWriter write,
                              const void* job) {
    sceneRun.last = runSceneToFile(sceneFile, outputFile, write, job);
    return sceneRun.last;
}

const OutputResult& lastSceneRun() { return sceneRun.last; }
