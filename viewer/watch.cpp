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

#ifdef _WIN32
// mingw's stat has whole seconds only and no inode; size and time suffice.
long modifiedNanosecondsOf(const struct stat&) { return 0; }
long long modifiedSecondsOf(const struct stat& info) { return info.st_mtime; }
#else
long modifiedNanosecondsOf(const struct stat& info) { return info.st_mtim.tv_nsec; }
long long modifiedSecondsOf(const struct stat& info) { return info.st_mtim.tv_sec; }
#endif

FileVersion versionOf(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0) return FileVersion{};
    return FileVersion{true,
                       info.st_dev,
                       info.st_ino,
                       info.st_size,
                       modifiedSecondsOf(info),
                       modifiedNanosecondsOf(info)};
}

}  // namespace

// Taken before the frame opens the file: an edit landing while it reads
// then counts as unseen and costs one more frame, never a missed one.
void noteSceneVersionRead() {
    if (sceneSource() != SceneSource::File) return;
    watch.seen = versionOf(sceneFileName());
    watch.started = true;
}

void watchSceneFile() {
    if (sceneSource() != SceneSource::File) return;
    const FileVersion now = versionOf(sceneFileName());
    if (watch.started && !(now == watch.seen)) requestRedraw();
    watch.seen = now;
    watch.started = true;
}
