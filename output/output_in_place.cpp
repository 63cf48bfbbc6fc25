#include "output_in_place.h"

#include "output/in_place_seam.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

struct InPlaceState {
    long long failAfter = -1;  // bytes of the copy over the output, for tests
};
InPlaceState inPlace;

#ifdef _WIN32
// In the user's temporary folder, gone once closed (msvcrt's tmpfile would
// make it at the root of the drive, which users may not write).
std::FILE* stagingFile() {
    char folder[MAX_PATH], name[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length > MAX_PATH || GetTempFileNameA(folder, "mir", 0, name) == 0)
        return nullptr;
    const int fd = _open(name, _O_RDWR | _O_BINARY | _O_TRUNC | _O_TEMPORARY);
    std::FILE* file = fd < 0 ? nullptr : _fdopen(fd, "w+b");
    if (file == nullptr && fd >= 0) _close(fd);
    if (fd < 0) DeleteFileA(name);
    return file;
}
using FileSize = long long;
FileSize sizeOf(std::FILE* file) {
    return std::fseek(file, 0, SEEK_END) == 0 ? _ftelli64(file) : -1;
}
bool resize(std::FILE* file, FileSize size) {
    return std::fflush(file) == 0 && _chsize_s(_fileno(file), size) == 0;
}
bool reserve(std::FILE*, FileSize) { return true; }
#else
std::FILE* stagingFile() { return std::tmpfile(); }
using FileSize = off_t;
FileSize sizeOf(std::FILE* file) {
    return std::fseek(file, 0, SEEK_END) == 0 ? ::ftello(file) : -1;
}
bool resize(std::FILE* file, FileSize size) {
    return std::fflush(file) == 0 && ::ftruncate(::fileno(file), size) == 0;
}
// Room for the whole text before a byte of the output changes: a full disk
// then refuses the text while the earlier content is still intact.
bool reserve(std::FILE* file, FileSize size) {
    const int error = ::posix_fallocate(::fileno(file), 0, size);
    return error != ENOSPC && error != EFBIG && error != EDQUOT && error != EIO;
}
#endif

// At most `limit` bytes (-1: all) are written, and then the copy fails.
bool copyAll(std::FILE* from, std::FILE* to, long long limit = -1) {
    if (std::fseek(from, 0, SEEK_SET) != 0 || std::fseek(to, 0, SEEK_SET) != 0) return false;
    char block[1 << 15];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, from)) > 0;) {
        if (limit >= 0 && static_cast<unsigned long long>(limit) < n) {
            std::fwrite(block, 1, static_cast<std::size_t>(limit), to);
            std::fflush(to);
            return false;
        }
        if (std::fwrite(block, 1, n, to) != n) return false;
        if (limit >= 0) limit -= static_cast<long long>(n);
    }
    return !std::ferror(from) && std::fflush(to) == 0;
}

// The staged text over the output, the earlier content kept aside until the
// new one is wholly in place.
bool copyOver(std::FILE* staged, std::FILE* output) {
    std::FILE* earlier = stagingFile();
    if (earlier == nullptr) return false;
    const FileSize earlierSize = sizeOf(output), size = sizeOf(staged);
    bool done = earlierSize >= 0 && size >= 0 && copyAll(output, earlier);
    if (done && size > earlierSize && !reserve(output, size)) {
        resize(output, earlierSize);  // room taken, nothing written
        done = false;
    } else if (done) {
        done = copyAll(staged, output, inPlace.failAfter) && resize(output, size);
        if (!done) {
            copyAll(earlier, output);
            resize(output, earlierSize);
        }
    }
    std::fclose(earlier);
    return done;
}

}  // namespace

void setInPlaceFailureAfter(long long bytes) { inPlace.failAfter = bytes; }

bool openStaged(OutputFile& output) {
    output.inPlace = std::fopen(output.target.c_str(), "r+b");
    if (output.inPlace == nullptr) return false;
    output.file = stagingFile();
    if (output.file == nullptr) {
        std::fclose(output.inPlace);
        output.inPlace = nullptr;
        return false;
    }
#ifdef _WIN32
    _setmode(_fileno(output.file), _O_TEXT);  // lines end in CR LF as in any output
#endif
    return true;
}

bool closeStaged(OutputFile& output, bool keep) {
    bool done = keep && std::fflush(output.file) == 0 && !std::ferror(output.file);
#ifdef _WIN32
    _setmode(_fileno(output.file), _O_BINARY);  // copied byte for byte
#endif
    if (done) done = copyOver(output.file, output.inPlace);
    done = std::fclose(output.inPlace) == 0 && done;
    std::fclose(output.file);
    output.inPlace = nullptr;
    output.file = nullptr;
    return done;
}
