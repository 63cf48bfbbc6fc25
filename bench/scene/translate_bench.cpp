// Translating a 50 MB scene: ours against the plain fscanf/fprintf version,
// and against the floor of copying the same output bytes. Standard output
// goes to /dev/null while a translation runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "bench/scene/plain_translator.h"
#include "scene/console.h"
#include "translators/translators.h"

namespace {

const std::string kDir = "/tmp/mirovan-bench";
const std::string kScene = kDir + "/big.scn";

void makeScene() {
    static bool made = false;
    if (made) return;
    made = true;
    std::system(("mkdir -p " + kDir).c_str());
    std::FILE* f = std::fopen(kScene.c_str(), "w");
    std::mt19937 random(1);
    auto n = [&] { return (static_cast<int>(random() % 20000) - 10000) / 100.0; };
    long size = 0;
    int depth = 0;  // brackets kept shallow and balanced, as in real scenes
    while (size < 50L * 1000 * 1000) {
        switch (random() % 7) {
            case 0: size += std::fprintf(f, "Cube %g %g %g\n", n(), n(), n()); break;
            case 1: size += std::fprintf(f, "Sphere %g\n", n()); break;
            case 2: size += std::fprintf(f, "Translation %g %g %g\n", n(), n(), n()); break;
            case 3: size += std::fprintf(f, "Rotation %g 0 1 0\n", n()); break;
            case 4:
                size += std::fprintf(f, "Material 0.8 0.2 0.1 0.2 0.2 0.2 1 1 1 0 0 0 %g\n", n());
                break;
            case 5:
                if (depth < 6) ++depth, size += std::fprintf(f, "Push\n");
                break;
            case 6:
                if (depth > 0) --depth, size += std::fprintf(f, "Pop\n");
                break;
        }
    }
    std::fclose(f);
}

// Runs `work` with standard output on /dev/null.
template <typename Work>
void quietly(Work work) {
    std::fflush(stdout);
    const int saved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
    work();
    consoleFlush();
    dup2(saved, 1);
    close(saved);
}

// Each run writes a new file, as a user's first translation does: emptying
// the previous run's large output would be timed too.
void removeOutput(benchmark::State& state, const std::string& path) {
    state.PauseTiming();
    std::remove(path.c_str());
    state.ResumeTiming();
}

void BM_PlainFscanfFprintf(benchmark::State& state) {
    makeScene();
    for (auto _ : state) {
        removeOutput(state, kDir + "/plain.wrl");
        quietly([] { plainVrmlTranslator(kScene.c_str(), (kDir + "/plain.wrl").c_str()); });
    }
    state.SetBytesProcessed(state.iterations() * 50'000'000L);
}

void BM_VrmlTranslator(benchmark::State& state) {
    makeScene();
    for (auto _ : state) {
        removeOutput(state, kDir + "/ours.wrl");
        quietly([] { VrmlTranslator(kScene.c_str(), (kDir + "/ours.wrl").c_str()); });
    }
    state.SetBytesProcessed(state.iterations() * 50'000'000L);
}

void BM_SourceTranslator(benchmark::State& state) {
    makeScene();
    for (auto _ : state) {
        removeOutput(state, kDir + "/ours.cpp");
        quietly([] { SourceTranslator(kScene.c_str(), (kDir + "/ours.cpp").c_str()); });
    }
    state.SetBytesProcessed(state.iterations() * 50'000'000L);
}

// The floor: writing the VRML output's bytes with cat, plus the echo's bytes.
void BM_CatOutputFloor(benchmark::State& state) {
    makeScene();
    quietly([] { VrmlTranslator(kScene.c_str(), (kDir + "/ours.wrl").c_str()); });
    for (auto _ : state) {
        removeOutput(state, kDir + "/copy.wrl");
        std::system(
            ("cat " + kDir + "/ours.wrl > " + kDir + "/copy.wrl; cat " + kScene + " > /dev/null")
                .c_str());
    }
}

}  // namespace

BENCHMARK(BM_PlainFscanfFprintf)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_VrmlTranslator)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SourceTranslator)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CatOutputFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
