#include "output/numbered_file.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>
#endif

#include "output_file.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

constexpr long kMaxNumber = 1000000;

OutputResult failedOn(const std::string& path, OutputFailure failure, int error) {
    OutputResult result;
    result.failure = failure;
    result.path = path;
    result.error = error;
    return result;
}

// The claimed, empty file replaced whole by one holding the bytes; errno
// of the first call that failed, or 0.
int fillClaimed(const std::string& path, const unsigned char* bytes, std::size_t size) {
    OutputFile output;
    if (!openOutput(output, path.c_str())) return errno != 0 ? errno : EIO;
#ifdef _WIN32
    _setmode(_fileno(output.file), _O_BINARY);  // a picture is bytes, not text lines
#endif
    errno = 0;
    int error = std::fwrite(bytes, 1, size, output.file) == size ? 0 : errno;
    if (error == 0 && std::fflush(output.file) != 0) error = errno;
    errno = 0;
    const bool kept = closeOutput(output, error == 0);
    if (!kept && error == 0) error = errno;
    return kept ? 0 : (error != 0 ? error : EIO);
}

}  // namespace

OutputResult writeNumberedFile(const std::string& prefix, const std::string& suffix,
                               const unsigned char* bytes, std::size_t size) {
    std::string path;
    for (long n = 1; n < kMaxNumber; ++n) {
        path = prefix + std::to_string(n) + suffix;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return failedOn(path, OutputFailure::NotCreated, errno);
        ::close(fd);
        const int error = fillClaimed(path, bytes, size);
        if (error == 0) return failedOn(path, OutputFailure::None, 0);
        std::remove(path.c_str());
        return failedOn(path, OutputFailure::NotWritten, error);
    }
    return failedOn(path, OutputFailure::NotCreated, EEXIST);
}
