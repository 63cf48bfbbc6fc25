#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "viewer/watch.h"

#include <string>

#include "window/window.h"

namespace {

// What identifies one version of the scene file on disk: the file itself
// (an editor that saves by renaming a new file over it makes another one),
// its size and its last write, to the resolution the file system keeps.
struct FileVersion {
    bool exists;
    unsigned long long volume, file;
    long long size;
    long long modifiedSeconds;
    long modifiedNanoseconds;

    bool operator==(const FileVersion&) const = default;
};

struct WatchState {
    std::string path;
    bool watching = false;
    FileVersion seen{};
    bool started = false;
};

WatchState watch;

#ifdef _WIN32
unsigned long long joined(DWORD high, DWORD low) {
    return (static_cast<unsigned long long>(high) << 32) | low;
}

// The file index and the last write in 100 ns steps: the C library's stat
// has neither, only whole seconds.
FileVersion versionOf(const char* path) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileVersion{};
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known) return FileVersion{};
    const unsigned long long written =
        joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return FileVersion{true,
                       info.dwVolumeSerialNumber,
                       joined(info.nFileIndexHigh, info.nFileIndexLow),
                       static_cast<long long>(joined(info.nFileSizeHigh, info.nFileSizeLow)),
                       static_cast<long long>(written / 10000000),
                       static_cast<long>(written % 10000000) * 100};
}
#else
FileVersion versionOf(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0) return FileVersion{};
    return FileVersion{true,
                       static_cast<unsigned long long>(info.st_dev),
                       static_cast<unsigned long long>(info.st_ino),
                       static_cast<long long>(info.st_size),
                       static_cast<long long>(info.st_mtim.tv_sec),
                       info.st_mtim.tv_nsec};
}
#endif

}  // namespace

void setWatchedFile(const char* path) {
    watch = WatchState{};
    watch.watching = path != nullptr;
    if (path) watch.path = path;
}

// Taken before the frame opens the file: an edit landing while it reads
// then counts as unseen and costs one more frame, never a missed one.
void noteSceneVersionRead() {
    if (!watch.watching) return;
    watch.seen = versionOf(watch.path.c_str());
    watch.started = true;
}

void watchSceneFile() {
    if (!watch.watching) return;
    const FileVersion now = versionOf(watch.path.c_str());
    if (watch.started && !(now == watch.seen)) requestRedraw();
    watch.seen = now;
    watch.started = true;
}
