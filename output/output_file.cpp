#include "output_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "output_in_place.h"

namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit on a chain of links

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
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

// New files that a signal ending the process must not leave behind.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
constexpr int kMaxPending = 4;

struct PendingState {
    char names[kMaxPending][PATH_MAX];  // "" for a free slot
    bool handlersSet;
};
PendingState pending;

void removePendingAndEnd(int number) {
    for (const char* name : pending.names)
        if (name[0] != '\0') ::unlink(name);
    std::signal(number, SIG_DFL);  // delivered again once this handler returns
    ::raise(number);
}

// Handlers only where the signal would end the process: one ignored or
// handled by the program stays as it was.
void setHandlers() {
    if (pending.handlersSet) return;
    pending.handlersSet = true;
    for (const int signal : kEndingSignals) {
        struct sigaction earlier;
        if (::sigaction(signal, nullptr, &earlier) != 0 || earlier.sa_handler != SIG_DFL) continue;
        struct sigaction action {};
        action.sa_handler = removePendingAndEnd;
        sigemptyset(&action.sa_mask);
        for (const int other : kEndingSignals) sigaddset(&action.sa_mask, other);
        ::sigaction(signal, &action, nullptr);
    }
}

// Holds the ending signals back while a name is made or put in place.
struct SignalsHeld {
    sigset_t earlier;
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : kEndingSignals) sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &earlier);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &earlier, nullptr); }
};

void remember(const std::string& name) {
    if (name.size() >= PATH_MAX) return;
    for (char* slot : pending.names)
        if (slot[0] == '\0') {
            std::memcpy(slot, name.c_str(), name.size() + 1);
            return;
        }
}

void forget(const std::string& name) {
    for (char* slot : pending.names)
        if (name == slot) slot[0] = '\0';
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

// The new file stands in for the earlier one only with its owner and group
// (which writing in place keeps), then its mode.
bool takeOverIdentity(int fd, const struct stat* earlier) {
    if (earlier == nullptr) return ::fchmod(fd, newFileMode()) == 0;
    struct stat now;
    if (::fstat(fd, &now) != 0) return false;
    if ((now.st_uid != earlier->st_uid || now.st_gid != earlier->st_gid) &&
        ::fchown(fd, earlier->st_uid, earlier->st_gid) != 0)
        return false;
    return ::fchmod(fd, earlier->st_mode & 07777) == 0;
}

// A new file beside the target, named short whatever the output's name;
// false if the folder takes none or it could not take the earlier identity.
bool openBeside(OutputFile& output, const struct stat* earlier) {
    std::string temporary = directoryOf(output.target) + "/.mirovan-XXXXXX";
    int fd;
    {
        SignalsHeld held;
        setHandlers();
        fd = ::mkstemp(temporary.data());
        if (fd >= 0) remember(temporary);
    }
    output.file = fd < 0 || !takeOverIdentity(fd, earlier) ? nullptr : ::fdopen(fd, "w");
    if (output.file != nullptr) {
        output.temporary = std::move(temporary);
        return true;
    }
    if (fd >= 0) {
        ::close(fd);
        ::unlink(temporary.c_str());
        SignalsHeld held;
        forget(temporary);
    }
    return false;
}

}  // namespace

bool openOutput(OutputFile& output, const char* path) {
    output = OutputFile{};
    struct stat info;
    const bool exists = ::stat(path, &info) == 0;
    // A loop of links, a folder on the way that may not be searched: writing
    // would fail there, so replacing does too.
    if (!exists && errno != ENOENT) return false;
    if (exists && S_ISDIR(info.st_mode)) return false;
    if (exists && standardStream(info) >= 0) return openStream(output, path, standardStream(info));
    if (exists && !S_ISREG(info.st_mode)) return openInPlace(output, path);

    output.target = followLinks(path);
    if (output.target.empty()) return openInPlace(output, path);
    if (!exists) return openBeside(output, nullptr);
    // Refused where writing in place would be refused: a file the user may
    // not write is not replaced either.
    const int fd = ::open(output.target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    // Several names share the file: a new file would part them.
    if (info.st_nlink == 1 && openBeside(output, &info)) return true;
    return openStaged(output);
}

bool closeOutput(OutputFile& output, bool keep) {
    if (output.inPlace != nullptr) {
        SignalsHeld held;  // the copy over the output is not cut short
        return closeStaged(output, keep);
    }
    const bool closed = std::fclose(output.file) == 0;
    output.file = nullptr;
    if (output.temporary.empty()) return keep && closed;
    const bool replaced =
        keep && closed && ::rename(output.temporary.c_str(), output.target.c_str()) == 0;
    if (!replaced) ::unlink(output.temporary.c_str());
    SignalsHeld held;
    forget(output.temporary);
    return replaced;
}
