// A translator's output file, replaced whole or not at all: the text goes to
// a new file beside the output, which takes the output's name only once
// everything was written and closed. A failed translation leaves an earlier
// output exactly as it was.
#pragma once

#include <cstdio>
#include <string>

struct OutputFile {
    std::FILE* file = nullptr;
    std::string target;     // the file that is replaced: the output, links followed
    std::string temporary;  // empty when written in place
};

// Opens the output for writing; false if it cannot be created. An output that
// is not a regular file (a terminal, a pipe, /dev/null) is written in place.
bool openOutput(OutputFile& output, const char* path);

// Closes the output and, if `keep`, puts it in place; false if a write, the
// close or the replacement failed. Without `keep`, or on failure, the new text
// is removed and the earlier output stays.
bool closeOutput(OutputFile& output, bool keep);

#ifdef _WIN32
// The same file under two names (mingw's stat gives no inode to compare).
bool sameFileOnWindows(const char* first, const char* second);
#endif
