// The output file on Windows: the text goes to a new file beside the output
// (text mode, so lines end in CR LF), which replaces the output only once
// everything was written and closed; where no new file can stand in for the
// output, it is written over in place, the earlier content kept.

#include <windows.h>

#include <cstdio>

#include "output_file.h"
#include "output_in_place.h"

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

// Names the file has on its volume; 1 when it cannot be told.
DWORD linksOf(const char* path) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    BY_HANDLE_FILE_INFORMATION info;
    const DWORD links = GetFileInformationByHandle(file, &info) ? info.nNumberOfLinks : 1;
    CloseHandle(file);
    return links;
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
    // A read-only file is refused, as writing it in place would be.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    output.target = path;
    char temporary[MAX_PATH];
    // The temporary's name is short ("mirXXXX.tmp") whatever the output's.
    const bool beside = (!exists || linksOf(path) == 1) &&
                        GetTempFileNameA(directoryOf(path).c_str(), "mir", 0, temporary) != 0;
    if (beside) {
        output.file = std::fopen(temporary, "w");
        if (output.file != nullptr) {
            output.temporary = temporary;
            return true;
        }
        DeleteFileA(temporary);
    }
    // No new file beside it, or several names to keep: written over in place.
    return exists ? openStaged(output) : openInPlace(output, path);
}

bool closeOutput(OutputFile& output, bool keep) {
    if (output.inPlace != nullptr) return closeStaged(output, keep);
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
