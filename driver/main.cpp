#include <cstdio>

#include "driver/commandline.h"
#include "scene/textout.h"

int main(int argc, char** argv) {
    const int status = runCommandLine(argc, argv);
    consoleFlush();
    return status;
}
