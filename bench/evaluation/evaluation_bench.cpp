// The scene evaluation over generated scenes of every shape, in memory:
// reading alone, then reading and evaluating, so the difference is the
// evaluation's own cost. Also counts the allocations made while evaluating
// (the goal: none per statement).
//   bench_evaluation [megabytes per scene (20)] [runs (3)]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "evaluation/evaluation.h"
#include "scene/scene.h"
#include "test_scenes/scene_shapes.h"

namespace {

long allocations = 0;

struct Pass {
    double seconds;
    long statements;
    long solids;
};

Pass pass(const std::string& text, bool evaluate) {
    const auto start = std::chrono::steady_clock::now();
    Pass p{0, 0, 0};
    startEvaluation();
    openSceneMemory(text.data(), text.size());
    SceneStatement statement;
    while (nextStatement(statement, NumberPrecision::Mixed)) {
        ++p.statements;
        if (evaluate && evaluateStatement(statement) == EvalStep::Solid) ++p.solids;
    }
    closeScene();
    p.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return p;
}

}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 20;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    std::printf("%-13s %9s %10s %9s %9s %11s %7s\n", "shape", "MiB", "statements", "read ms",
                "eval ms", "ns/statement", "allocs");
    for (int s = 0; s < kSceneShapeCount; ++s) {
        const SceneShape shape = static_cast<SceneShape>(s);
        const std::string text =
            generateScene(shape, static_cast<std::size_t>(megabytes * 1024 * 1024));
        double read = 1e9, both = 1e9;
        Pass last{};
        long allocated = 0;
        for (int r = 0; r < runs; ++r) {
            const Pass a = pass(text, false);
            const long before = allocations;
            last = pass(text, true);
            allocated = allocations - before;
            if (a.seconds < read) read = a.seconds;
            if (last.seconds < both) both = last.seconds;
        }
        std::printf("%-13s %9.1f %10ld %9.0f %9.0f %11.1f %7ld\n", sceneShapeName(shape),
                    static_cast<double>(text.size()) / (1 << 20), last.statements, read * 1e3,
                    both * 1e3, (both - read) * 1e9 / static_cast<double>(last.statements),
                    allocated);
    }
    return 0;
}
