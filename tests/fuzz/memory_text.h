// Text written through a FILE into memory, and the console (the echo and
// the messages) taken into such a text for a while.
#pragma once

#include <cstdio>
#include <string>

class MemoryText {
public:
    MemoryText();
    ~MemoryText();
    MemoryText(const MemoryText&) = delete;
    MemoryText& operator=(const MemoryText&) = delete;
    std::FILE* file() { return file_; }
    // Closes the FILE and gives what was written.
    std::string take();

private:
    char* buffer_;
    std::size_t size_;
    std::FILE* file_;
};

// From construction to take(), the console writes into memory.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    std::string take();

private:
    MemoryText text_;
    std::FILE* saved_;
    bool taken_;
};
