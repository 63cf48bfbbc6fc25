// Cost of one screen-mode frame, offscreen: reading the scene with its echo
// (standard output on /dev/null) against the whole frame with its drawing.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <random>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "headless/headless.h"
#include "scene/scene.h"
#include "scene/console.h"
#include "scene/echo.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

namespace {

const std::string kDir = "/tmp/mirovan-frame-bench";

// A scene of `statements` statements in balanced groups, with repeated box
// and sphere sizes as real scenes have.
std::string makeScene(int statements) {
    const std::string path = kDir + "/scene-" + std::to_string(statements) + ".scn";
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::mt19937 random(statements);
    std::fprintf(f, "Pointlight 10 10 10 1 1 1 1\n");
    for (int written = 1; written < statements; written += 6) {
        std::fprintf(
            f, "Push\nTranslation %d %d %d\nMaterial 0.8 0.3 0.2 0.2 0.1 0.1 1 1 1 0 0 0 40\n",
            static_cast<int>(random() % 30) - 15, static_cast<int>(random() % 30) - 15,
            static_cast<int>(random() % 30) - 15);
        switch (random() % 4) {
            case 0: std::fprintf(f, "Cube %d 1 1\n", 1 + static_cast<int>(random() % 3)); break;
            case 1: std::fprintf(f, "Sphere %d\n", 1 + static_cast<int>(random() % 3)); break;
            case 2: std::fprintf(f, "Cylindre 0.5 %d\n", 1 + static_cast<int>(random() % 3)); break;
            case 3: std::fprintf(f, "Cone 0.5 %d\n", 1 + static_cast<int>(random() % 3)); break;
        }
        std::fprintf(f, "Rotation 10 0 1 0\nPop\n");
    }
    std::fclose(f);
    return path;
}

struct Quiet {
    int saved;
    Quiet() {
        consoleFlush();
        saved = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~Quiet() {
        consoleFlush();
        dup2(saved, 1);
        close(saved);
    }
};

void ensureContext() {
    static bool open = false;
    if (open) return;
    std::system(("mkdir -p " + kDir).c_str());
    open = openHeadlessContext(500, 500);
    myInit();
    reshapeView(500, 500);
}

void readAndEcho(const char* path) {
    openScene(path);
    SceneStatement s;
    while (nextStatement(s, NumberPrecision::Mixed)) {
        if (s.kind != StatementKind::Unrecognised) textPutEcho(console(), s);
        textPutChar(console(), '\n');
    }
    closeScene();
    consoleFlush();
}

std::string scenePath(const benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (n > 0) return makeScene(n);
    static const char* const kExamples[] = {"robot", "still_life", "lights"};
    return std::string(MIROVAN_SOURCE_DIR) + "/examples/" + kExamples[-n - 1] + ".scn";
}

void BM_ReadAndEcho(benchmark::State& state) {
    ensureContext();
    const std::string path = scenePath(state);
    Quiet quiet;
    for (auto _ : state) readAndEcho(path.c_str());
}

void BM_WholeFrame(benchmark::State& state) {
    ensureContext();
    const std::string path = scenePath(state);
    setSceneFileName(path.c_str());
    setFrameDrawer(drawScene);
    resetView();
    Quiet quiet;
    displayFrame();  // compiles the display lists
    for (auto _ : state) {
        displayFrame();
        glFinish();
    }
}

// Positive: generated scenes of that many statements; -1..-3: the examples.
void sizes(benchmark::internal::Benchmark* b) {
    for (int n : {-1, -2, -3, 1000, 10000, 100000}) b->Arg(n);
}

}  // namespace

BENCHMARK(BM_ReadAndEcho)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeFrame)->Apply(sizes)->Unit(benchmark::kMicrosecond);
