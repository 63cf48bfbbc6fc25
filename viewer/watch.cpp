#include <sys/stat.h>

#include "viewer/watch.h"

#include "viewer/scene_source.h"
#include "window/window.h"

namespace {

// What identifies one version of the scene file on disk.
struct FileVersion {
    bool exists;
    dev_t device;
    ino_t inode;
    off_t size;
    long long modifiedSeconds;
    long modifiedNanoseconds;

    bool operator==(const FileVersion&) const = default;
};

struct WatchState {
    FileVersion seen{};
    bool started = false;
};

WatchState watch;

FileVersion versionOf(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0) return FileVersion{};
    return FileVersion{true,
                       info.st_dev,
                       info.st_ino,
                       info.st_size,
                       static_cast<long long>(info.st_mtim.tv_sec),
                       info.st_mtim.tv_nsec};
}

}  // namespace

void watchSceneFile() {
    if (sceneSource() != SceneSource::File) return;
    const FileVersion now = versionOf(sceneFileName());
    if (watch.started && !(now == watch.seen)) requestRedraw();
    watch.seen = now;
    watch.started = true;
}
