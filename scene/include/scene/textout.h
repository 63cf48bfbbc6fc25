// Buffered text output for the echo, the messages and the translators'
// files: appends go to a large block that reaches its FILE only when full or
// when flushed, so nothing is written per statement.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "scene/fixed.h"

#ifdef _WIN32
// <windows.h>, which GL/gl.h pulls in there, names a GDI call TextOut: take
// the name back, whichever header comes first.
#include <windows.h>
#undef TextOut
#endif

constexpr std::size_t kTextOutCapacity = 1 << 16;

// Text goes to a FILE, or, where `drain` is set, to that function.
typedef void (*TextDrain)(void* sink, const char* data, std::size_t size);

struct TextOut {
    std::FILE* file;
    std::size_t length;
    bool failed;  // a write to the file fell short
    TextDrain drain;
    void* sink;
    char buffer[kTextOutCapacity];
};

void textOpen(TextOut& out, std::FILE* file);
void textOpenDrain(TextOut& out, TextDrain drain, void* sink);
// Moves the buffered text into the FILE; false if any write so far failed.
bool textFlush(TextOut& out);

void textWriteThrough(TextOut& out, const char* text, std::size_t length);

// Short runs (numbers, prefixes, keywords) are copied without a call.
inline void copyShort(char* to, const char* from, std::size_t length) {
    if (length >= 8 && length <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + length - 8, from + length - 8, 8);
    } else if (length >= 4 && length < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + length - 4, from + length - 4, 4);
    } else if (length < 4) {
        for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
    } else {
        std::memcpy(to, from, length);
    }
}

inline void textPut(TextOut& out, const char* text, std::size_t length) {
    if (out.length + length > kTextOutCapacity) {
        textWriteThrough(out, text, length);
        return;
    }
    copyShort(out.buffer + out.length, text, length);
    out.length += length;
}
inline void textPut(TextOut& out, const char* text) { textPut(out, text, std::strlen(text)); }
inline void textPutChar(TextOut& out, char c) {
    if (out.length == kTextOutCapacity) textFlush(out);
    out.buffer[out.length++] = c;
}

inline void textPut(TextOut& out, const FixedText& fixed) {
    textPut(out, fixed.text, fixed.length);
}

#ifdef _WIN32  // mingw's C99 printf (%zu, %lld), not the system's
void textPrintf(TextOut& out, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
#else
void textPrintf(TextOut& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
#endif
