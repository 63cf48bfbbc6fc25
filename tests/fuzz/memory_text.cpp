#include "fuzz/memory_text.h"

#include <cstdlib>

#include "scene/console.h"

MemoryText::MemoryText() : buffer_(nullptr), size_(0), file_(open_memstream(&buffer_, &size_)) {
    if (file_ == nullptr) std::abort();
}

MemoryText::~MemoryText() { take(); }

std::string MemoryText::take() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    std::string text(buffer_ != nullptr ? buffer_ : "", size_);
    std::free(buffer_);
    buffer_ = nullptr;
    size_ = 0;
    return text;
}

ConsoleCapture::ConsoleCapture() : saved_(console().file), taken_(false) {
    consoleFlush();
    textOpen(console(), text_.file());
}

ConsoleCapture::~ConsoleCapture() { take(); }

std::string ConsoleCapture::take() {
    if (taken_) return "";
    taken_ = true;
    textFlush(console());
    textOpen(console(), saved_);
    return text_.take();
}
