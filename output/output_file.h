// An output file, replaced whole or not at all: the text (or picture) goes to
// a new file beside the output, which takes the output's name only once
// everything was written and closed. An output that a new file cannot stand
// in for (several hard links, a folder that takes no new file, an owner the
// new file could not have) is written over in place once the text is
// complete, its earlier content put back if that fails. Either way a failed
// write leaves an earlier output exactly as it was.
#pragma once

#include <cstdio>
#include <string>

struct OutputFile {
    std::FILE* file = nullptr;     // where the translator writes
    std::string target;            // the file that is replaced: the output, links followed
    std::string temporary;         // the new file beside it; empty otherwise
    std::FILE* inPlace = nullptr;  // the output itself, when `file` only stages the text
};

// Opens the output for writing; false if it cannot be created, or may not be
// written as writing it in place would refuse (a file the user may not write,
// a loop of symbolic links). An output that is not a regular file (a
// terminal, a pipe, /dev/null) is written in place, as it comes.
bool openOutput(OutputFile& output, const char* path);

// Closes the output and, if `keep`, puts the text in place; false if a write,
// the close or the replacement failed. Without `keep`, or on failure, the new
// text is removed and the earlier output stays.
bool closeOutput(OutputFile& output, bool keep);

#ifdef _WIN32
// The same file under two names (mingw's stat gives no inode to compare).
bool sameFileOnWindows(const char* first, const char* second);
#endif
