#include "scene/textout.h"

#include "scene/console.h"

#include <cstdarg>
#include <string>

namespace {

struct ConsoleState {
    TextOut out{stdout, 0, false, nullptr, nullptr, {}};
};

ConsoleState consoleState;

}  // namespace

namespace {

void writeOut(TextOut& out, const char* text, std::size_t length) {
    if (out.drain)
        out.drain(out.sink, text, length);
    else if (std::fwrite(text, 1, length, out.file) != length)
        out.failed = true;
}

}  // namespace

void textOpen(TextOut& out, std::FILE* file) {
    out.file = file;
    out.length = 0;
    out.failed = false;
    out.drain = nullptr;
    out.sink = nullptr;
}

void textOpenDrain(TextOut& out, TextDrain drain, void* sink) {
    textOpen(out, nullptr);
    out.drain = drain;
    out.sink = sink;
}

bool textFlush(TextOut& out) {
    if (out.length > 0) {
        writeOut(out, out.buffer, out.length);
        out.length = 0;
    }
    return !out.failed;
}

void textWriteThrough(TextOut& out, const char* text, std::size_t length) {
    textFlush(out);
    if (length <= kTextOutCapacity) {
        std::memcpy(out.buffer, text, length);
        out.length = length;
        return;
    }
    writeOut(out, text, length);
}

void textPrintf(TextOut& out, const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof line) {
        textPut(out, line, static_cast<std::size_t>(n));
        return;
    }
    // A long message (a long file name): format it whole.
    textFlush(out);
    va_start(args, format);
    if (out.drain) {
        std::string whole(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(whole.data(), whole.size(), format, args);
        out.drain(out.sink, whole.data(), static_cast<std::size_t>(n));
    } else if (std::vfprintf(out.file, format, args) < 0) {
        out.failed = true;
    }
    va_end(args);
}

TextOut& console() { return consoleState.out; }

bool consoleFlush() {
    bool ok = textFlush(consoleState.out);
    if (std::fflush(stdout) != 0) ok = false;
    return ok;
}
