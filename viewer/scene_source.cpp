// Where the scene that every frame draws comes from: a file read anew each
// frame, or the one copy of something that can be read only once.
#include "viewer/scene_source.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#define O_CLOEXEC 0  // mingw: no exec, so no descriptor to keep from it
#endif

#include "scene/console.h"
#include "scene/scene.h"
#include "viewer/interpreter.h"
#include "viewer/watch.h"

namespace {

struct SourceState {
    std::string path;
    SceneSource source = SceneSource::File;
    std::string copy;
};

SourceState current;

// A pipe, a FIFO or a device gives its bytes once; reopening a FIFO on
// every frame would block until someone writes to it again.
bool readOnlyOnce(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0) return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

// All of fd, but never more than one byte past the limit.
SceneSource readCopy(int fd, std::string& copy) {
    constexpr std::size_t kChunk = 1 << 16;
    copy.clear();
    for (;;) {
        const std::size_t had = copy.size();
        if (had > kMaxSceneCopy) return SceneSource::TooLarge;
        copy.resize(had + kChunk);
        const ssize_t n = ::read(fd, copy.data() + had, std::min(kChunk, kMaxSceneCopy + 1 - had));
        copy.resize(had + (n > 0 ? static_cast<std::size_t>(n) : 0));
        if (n == 0) return SceneSource::Copy;
        if (n < 0 && errno != EINTR) return SceneSource::Unreadable;
    }
}

void sayTooLarge(const char* path) {
    textPrintf(console(), "%s est trop grand (plus de %zu Mo)!!!\n", path, kMaxSceneCopy >> 20);
}

SceneSource readSource(const char* path) {
    if (!readOnlyOnce(path)) return SceneSource::File;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SceneSource::File;  // each frame says why, as for a file
    const SceneSource source = readCopy(fd, current.copy);
    ::close(fd);
    if (source != SceneSource::Copy) current.copy.clear();
    if (source == SceneSource::TooLarge) sayTooLarge(path);
    return source;
}

}  // namespace

SceneSource setSceneFileName(const char* path) {
    current.path = path;
    current.copy.clear();
    current.copy.shrink_to_fit();
    current.source = readSource(path);
    // A file read anew on every frame is watched; a copy has nothing to watch.
    setWatchedFile(current.source == SceneSource::File ? path : nullptr);
    return current.source;
}

const char* sceneFileName() { return current.path.c_str(); }
SceneSource sceneSource() { return current.source; }

void drawScene() {
    const char* path = current.path.c_str();
    switch (current.source) {
        case SceneSource::File:
            noteSceneVersionRead();
            drawSceneFile(path);
            break;
        case SceneSource::Copy:
            drawSceneText(path, current.copy.data(), current.copy.size());
            break;
        case SceneSource::TooLarge: sayTooLarge(path); break;
        case SceneSource::Unreadable: reportUnopenedScene(SceneOpen::Unreadable, path); break;
    }
    consoleFlush();  // the frame's echo, in one piece
}
