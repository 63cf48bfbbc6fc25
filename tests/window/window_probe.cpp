// A window-layer client for end-to-end tests: a 500x500 window at the screen
// origin painted one known colour (51, 102, 153), and one line on standard
// output per handler call: "open N", "reshape W H", "display", "key CODE",
// "loop N". With --buffered the lines reach the file only when stdio flushes.

#include "window/window.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

bool flushEachLine = true;

__attribute__((format(printf, 1, 2))) void logLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    if (flushEachLine) std::fflush(stdout);
}

void onReshape(int width, int height) { logLine("reshape %d %d", width, height); }

void onDisplay() {
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    swapWindowBuffers();
    logLine("display");
}

template <int Code>
void onKey() {
    logLine("key %d", Code);
}

template <int... Codes>
void bindKeys() {
    (addKeyHandler(Codes, onKey<Codes>), ...);
}

}  // namespace

int main(int argc, char** argv) {
    const char* title = "window_probe";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--buffered") == 0) {
            flushEachLine = false;
            std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
        } else if (std::strcmp(argv[i], "--title") == 0 && i + 1 < argc) {
            title = argv[++i];
        }
    }
    setDisplayMode(ModeDoubleBuffer | ModeDepth16);
    setWindowPosition(0, 0, 500, 500);
    const int opened = openWindow(title);
    logLine("open %d", opened);
    if (!opened) return 1;

    // The keys a test sends, Escape (whose layer entry must win), and the
    // codes a dropped key would show up as if it were mistaken for a
    // character or a Windows virtual-key code (Tab, Backspace, Delete, F1,
    // keypad +, ',', '+').
    bindKeys<13, 27, 32, 36, 37, 38, 39, 40, 48, 57, 65, 90, 97, 122, 123, 8, 9, 46, 107, 112, 43,
             44>();
    setReshapeHandler(onReshape);
    logLine("loop %d", runMainLoop(onDisplay));
    return 0;
}
