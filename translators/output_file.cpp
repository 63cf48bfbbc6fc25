#include "output_file.h"

#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit on a chain of links

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name for a descriptor this process holds open (/dev/stdout, /dev/fd/N,
// /proc/self/fd/N): the file behind it must be written, not replaced, or
// what is written would go where the descriptor no longer leads.
bool namesOpenDescriptor(const std::string& path) {
    return path.rfind("/proc/", 0) == 0 || path.rfind("/dev/fd/", 0) == 0;
}

// The standard stream the file is open as, or -1.
int standardStream(const struct stat& file) {
    for (int fd = 1; fd <= 2; ++fd) {
        struct stat stream;
        if (::fstat(fd, &stream) == 0 && stream.st_dev == file.st_dev &&
            stream.st_ino == file.st_ino)
            return fd;
    }
    return -1;
}

// The file at the end of a chain of symbolic links, whether it exists or not:
// that file is replaced and the links stay links. Empty when the chain leads
// to an open descriptor.
std::string followLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        if (namesOpenDescriptor(path)) return "";
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) break;
        const std::string link(target, static_cast<std::size_t>(length));
        path = link.front() == '/' ? link : directoryOf(path) + "/" + link;
    }
    return path;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool openInPlace(OutputFile& output, const char* path) {
    output.file = std::fopen(path, "w");
    output.target = path;
    return output.file != nullptr;
}

// Standard output named as the output (/dev/stdout, say) is written through
// its own descriptor: opened afresh it would start again at the beginning of
// a file that standard output is also writing.
bool openStream(OutputFile& output, const char* path, int fd) {
    const int copy = ::dup(fd);
    output.file = copy < 0 ? nullptr : ::fdopen(copy, "w");
    if (output.file == nullptr && copy >= 0) ::close(copy);
    output.target = path;
    return output.file != nullptr;
}

}  // namespace

bool openOutput(OutputFile& output, const char* path) {
    output = OutputFile{};
    struct stat info;
    const bool exists = ::stat(path, &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) return false;
    if (exists && standardStream(info) >= 0) return openStream(output, path, standardStream(info));
    if (exists && !S_ISREG(info.st_mode)) return openInPlace(output, path);

    output.target = followLinks(path);
    if (output.target.empty()) return openInPlace(output, path);
    std::string temporary = directoryOf(output.target) + "/." + nameOf(output.target) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    // A directory that takes no new file may still let the output itself be
    // rewritten: that is better than no output at all.
    if (fd < 0) return openInPlace(output, path);

    // The new file takes the place of the old one, so it takes its mode and,
    // where allowed, its owner; a new output gets the usual mode.
    if (exists) {
        ::fchmod(fd, info.st_mode & 07777);
        if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Not ours to give away: the file stays the writer's.
        }
    } else {
        ::fchmod(fd, newFileMode());
    }
    output.file = ::fdopen(fd, "w");
    if (output.file == nullptr) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    output.temporary = std::move(temporary);
    return true;
}

bool closeOutput(OutputFile& output, bool keep) {
    const bool closed = std::fclose(output.file) == 0;
    output.file = nullptr;
    if (output.temporary.empty()) return keep && closed;
    if (keep && closed && ::rename(output.temporary.c_str(), output.target.c_str()) == 0)
        return true;
    ::unlink(output.temporary.c_str());
    return false;
}
