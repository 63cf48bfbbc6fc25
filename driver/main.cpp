#include <cstdio>

#include "commandline.h"
#include "scene/console.h"

int main(int argc, char** argv) {
    // Standard output goes out in large pieces: the echo of a whole frame or
    // translation, never a statement at a time.
    static char stdoutBuffer[1 << 20];
    std::setvbuf(stdout, stdoutBuffer, _IOFBF, sizeof stdoutBuffer);
    int status = runCommandLine(argc, argv);
    // An echo or message that never reached standard output is a failure too.
    // A failed flush during the run leaves only the stream's error mark.
    if ((!consoleFlush() || std::ferror(stdout)) && status == 0) status = 1;
    return status;
}
