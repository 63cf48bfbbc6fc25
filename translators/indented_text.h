// Text built in memory and copied out whole, and the indentation put in
// front of each of its lines once it is known.
#pragma once

#include <cstddef>
#include <memory>

// A growing block of text with 16 bytes to spare after it, so that it may
// be read and written 16 bytes at a time.
struct Text {
    std::unique_ptr<char[]> data;
    std::size_t size = 0, capacity = 0;
};

// Room for `more` bytes after the text (and the 16 to spare): where they go.
char* makeRoom(Text& text, std::size_t more);
void appendText(Text& text, const char* data, std::size_t size);

// Appends the lines in [p, end), each ended by a line break, to `to`, each
// after `blanks` blanks (at most the indentation's capacity). 16 bytes must
// be readable after `end`.
void appendIndented(Text& to, const char* p, const char* end, std::size_t blanks);
