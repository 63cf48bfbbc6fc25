// Buffered text output for the echo, the messages and the translators'
// files: appends go to a large block that reaches its FILE only when full or
// when flushed, so nothing is written per statement.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "scene/scene.h"

constexpr std::size_t kTextOutCapacity = 1 << 16;
constexpr std::size_t kFixedMaxLength = 330;   // "-" + 309 digits + ".dddddd"

struct TextOut {
    std::FILE* file;
    std::size_t length;
    bool failed;               // a write to the file fell short
    char buffer[kTextOutCapacity];
};

void textOpen(TextOut& out, std::FILE* file);
// Moves the buffered text into the FILE; false if any write so far failed.
bool textFlush(TextOut& out);

void textWriteThrough(TextOut& out, const char* text, std::size_t length);

inline void textPut(TextOut& out, const char* text, std::size_t length) {
    if (out.length + length > kTextOutCapacity) {
        textWriteThrough(out, text, length);
        return;
    }
    std::memcpy(out.buffer + out.length, text, length);
    out.length += length;
}
inline void textPut(TextOut& out, const char* text) { textPut(out, text, std::strlen(text)); }
inline void textPutChar(TextOut& out, char c) {
    if (out.length == kTextOutCapacity) textFlush(out);
    out.buffer[out.length++] = c;
}

// Writes `value` as printf's "%f" does: fixed point, six decimals.
char* formatFixed(char* out, double value);
inline void textPutFixed(TextOut& out, double value) {
    if (out.length + kFixedMaxLength > kTextOutCapacity) textFlush(out);
    out.length = static_cast<std::size_t>(formatFixed(out.buffer + out.length, value) - out.buffer);
}

void textPrintf(TextOut& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The echo of a statement: its keyword and " %f" for each number, with the
// spot light's cut-off angle right after its intensity. No line break.
void textPutEcho(TextOut& out, const SceneStatement& statement);

// Standard output, shared by the echo and every message of the program.
TextOut& console();
// Flushes the console into standard output and standard output itself.
bool consoleFlush();
