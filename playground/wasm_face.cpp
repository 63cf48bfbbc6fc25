// The C face of the WebAssembly module. The page writes the scene's text
// into the module's in-memory file system under the scene's own name, and
// runs one mode as the command line would: `mirovan -vrml scene.scn
// scene.wrl` and the others, through the same functions. What the program
// prints on standard error (the reports) lands in a file the page reads
// back; the echo on standard output is thrown away.
#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "exporters/exporters.h"
#include "scene/console.h"
#include "translators/translators.h"

namespace {

constexpr const char* kReports = "/tmp/reports.txt";

struct Face {
    bool redirected = false;
};
Face face;

bool (*modeFunction(const char* mode))(const char*, const char*) {
    if (std::strcmp(mode, "-vrml") == 0) return VrmlTranslator;
    if (std::strcmp(mode, "-opengl") == 0) return SourceTranslator;
    if (std::strcmp(mode, "-html") == 0) return PageExporter;
    if (std::strcmp(mode, "-gltf") == 0) return GltfExporter;
    return nullptr;
}

}  // namespace

extern "C" {

// Runs `mode` (-vrml, -opengl, -html, -gltf) on sceneFile, writing
// outputFile; the reports go to the file mirovan_reports() names, which each
// run starts afresh. Returns the exit status the program would: 0 on
// success, 1 on failure, 2 for an unknown mode.
EMSCRIPTEN_KEEPALIVE int mirovan_run(const char* mode, const char* sceneFile,
                                     const char* outputFile) {
    bool (*run)(const char*, const char*) = modeFunction(mode);
    if (run == nullptr) return 2;
    if (!face.redirected) {
        if (!std::freopen("/dev/null", "w", stdout)) return 1;
        // The module starts with a mask that takes every permission from
        // the files the exports create: give them a desktop's.
        ::umask(022);
        face.redirected = true;
    }
    if (!std::freopen(kReports, "w", stderr)) return 1;
    const bool done = run(sceneFile, outputFile);
    consoleFlush();
    std::fflush(stdout);
    std::fflush(stderr);
    return done ? 0 : 1;
}

EMSCRIPTEN_KEEPALIVE const char* mirovan_reports() { return kReports; }

}  // extern "C"
