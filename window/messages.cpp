#include "window/window.h"

#include <cstdarg>
#include <cstdio>

namespace {

// The caption and the text leave in one write so messages never interleave.
void report(const char* caption, const char* format, va_list args) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    std::fprintf(stderr, "%s: %s", caption, text);
}

}  // namespace

void reportError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    report("Error", format, args);
    va_end(args);
}

void reportWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    report("Warning", format, args);
    va_end(args);
}
