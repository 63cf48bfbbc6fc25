// The output file on Windows: the text goes to a new file beside the output
// (text mode, so lines end in CR LF), which replaces the output only once
// everything was written and closed.

#include <windows.h>

#include <cstdio>

#include "output_file.h"

namespace {

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash + 1);
}

bool openInPlace(OutputFile& output, const char* path) {
    output.file = std::fopen(path, "w");
    output.target = path;
    return output.file != nullptr;
}

// The file's identity on its volume, or false if it cannot be opened.
bool identityOf(const char* path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
}

bool onDisk(const char* path) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return disk;
}

}  // namespace

bool sameFileOnWindows(const char* first, const char* second) {
    BY_HANDLE_FILE_INFORMATION a, b;
    return identityOf(first, a) && identityOf(second, b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool openOutput(OutputFile& output, const char* path) {
    output = OutputFile{};
    const DWORD attributes = GetFileAttributesA(path);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (exists && !onDisk(path)) return openInPlace(output, path);  // NUL, CON, a pipe
    char temporary[MAX_PATH];
    // A directory that takes no new file may still let the output itself be
    // rewritten: better than no output at all.
    if (GetTempFileNameA(directoryOf(path).c_str(), "mir", 0, temporary) == 0)
        return openInPlace(output, path);
    output.file = std::fopen(temporary, "w");
    if (output.file == nullptr) {
        DeleteFileA(temporary);
        return openInPlace(output, path);
    }
    output.target = path;
    output.temporary = temporary;
    return true;
}

bool closeOutput(OutputFile& output, bool keep) {
    const bool closed = std::fclose(output.file) == 0;
    output.file = nullptr;
    if (output.temporary.empty()) return keep && closed;
    // rename() on Windows refuses to replace an existing file.
    if (keep && closed &&
        MoveFileExA(output.temporary.c_str(), output.target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileA(output.temporary.c_str());
    return false;
}
