#include <cstdarg>
#include <cstdio>

#include "layer.h"
#include "window/window.h"

namespace {

// Formatted into 256 bytes, then shown the platform's way in one piece.
void report(const char* caption, const char* format, va_list args) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    platformShowMessage(caption, text);
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
