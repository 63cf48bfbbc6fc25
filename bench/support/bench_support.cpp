// Cost of one auxSolidBox call for a size already in the cache, as the cache
// grows from 100 sizes to the most it holds (kMaxShapeLists).
//
// The calls run while another list is being compiled (GL_COMPILE): the
// replayed glCallList is then only recorded, at a fixed small cost, instead
// of rasterising twelve triangles in the software driver, whose cost would
// bury the lookup. What is left is the lookup plus one recorded call, which
// is the part that grows with the cache when the lookup walks a chain.
// Sizes are visited either in the order they were added, as screen mode does
// when it reads the same scene every frame, or shuffled, which makes every
// call a fresh cache miss in the processor's caches: the worst case.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "GestionOpenGL.h"
#include "headless/headless.h"
#include "shape_cache.h"
#include "support/support_state.h"

namespace {

struct Size {
    double w, h, d;
};

Size sizeNumber(int k) { return {0.5 + k * 0.001, 1.0 + k % 7, 2.0 - k % 3 * 0.25}; }

// The cache holding n sizes, the sizes in the order they were added. Kept
// between runs of the same n, since the library calls each benchmark several
// times while it settles the iteration count.
const std::vector<Size>& cachedSizes(int n) {
    static std::vector<Size> sizes;
    if (sizes.size() == static_cast<std::size_t>(n) && shapeListCount() == sizes.size())
        return sizes;
    for (const Size& s : sizes) {  // free the previous lists before forgetting them
        const double p[3] = {s.w, s.h, s.d};
        glDeleteLists(findShapeList(kBoxShape, p, 3), 1);
    }
    resetSupportState();
    sizes.clear();
    for (int k = 0; k < n; ++k) {
        sizes.push_back(sizeNumber(k));
        auxSolidBox(sizes.back().w, sizes.back().h, sizes.back().d);
        if (k % 1024 == 0) glFinish();
    }
    glFinish();
    return sizes;
}

std::vector<Size> visitingOrder(const benchmark::State& state) {
    std::vector<Size> order = cachedSizes(static_cast<int>(state.range(0)));
    if (state.range(1)) std::shuffle(order.begin(), order.end(), std::mt19937(12345));
    return order;
}

constexpr int kCallsPerList = 4096;

void BM_CachedBox(benchmark::State& state) {
    const std::vector<Size> sizes = visitingOrder(state);
    const GLuint outer = glGenLists(1);
    glNewList(outer, GL_COMPILE);
    std::size_t next = 0;
    int inList = 0;
    for (auto _ : state) {
        const Size& s = sizes[next];
        auxSolidBox(s.w, s.h, s.d);
        if (++next == sizes.size()) next = 0;
        if (++inList == kCallsPerList) {  // keeps the recording list small
            glEndList();
            glNewList(outer, GL_COMPILE);
            inList = 0;
        }
    }
    glEndList();
    glDeleteLists(outer, 1);
    if (shapeListCount() != sizes.size()) state.SkipWithError("a cached size was added again");
}

// The lookup alone, without any GL call.
void BM_FindShapeList(benchmark::State& state) {
    const std::vector<Size> sizes = visitingOrder(state);
    std::size_t next = 0;
    for (auto _ : state) {
        const double p[3] = {sizes[next].w, sizes[next].h, sizes[next].d};
        benchmark::DoNotOptimize(findShapeList(kBoxShape, p, 3));
        if (++next == sizes.size()) next = 0;
    }
}

// The driver's part alone: recording glCallList for the same lists in the
// same order, names looked up beforehand.
void BM_RecordedCallListOnly(benchmark::State& state) {
    std::vector<GLuint> lists;
    for (const Size& s : visitingOrder(state)) {
        const double p[3] = {s.w, s.h, s.d};
        lists.push_back(findShapeList(kBoxShape, p, 3));
    }
    const GLuint outer = glGenLists(1);
    glNewList(outer, GL_COMPILE);
    std::size_t next = 0;
    int inList = 0;
    for (auto _ : state) {
        glCallList(lists[next]);
        if (++next == lists.size()) next = 0;
        if (++inList == kCallsPerList) {
            glEndList();
            glNewList(outer, GL_COMPILE);
            inList = 0;
        }
    }
    glEndList();
    glDeleteLists(outer, 1);
}

void sizeArgs(benchmark::internal::Benchmark* b) {
    const auto most = static_cast<std::int64_t>(kMaxShapeLists);
    b->ArgNames({"sizes", "shuffled"})->ArgsProduct({{100, 300, most}, {0, 1}});
}
BENCHMARK(BM_CachedBox)->Apply(sizeArgs);
BENCHMARK(BM_FindShapeList)->Apply(sizeArgs);
BENCHMARK(BM_RecordedCallListOnly)->Apply(sizeArgs);

// For comparison: a chain of heap entries walked newest first, which is what
// a plain linked-list cache costs per lookup.
struct ChainEntry {
    unsigned list;
    ChainEntry* next;
    int count;
    std::unique_ptr<double[]> params;
};

void BM_ChainWalkForComparison(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<std::unique_ptr<ChainEntry>> owned;
    ChainEntry* head = nullptr;
    std::vector<Size> sizes;
    for (int k = 0; k < n; ++k) {
        sizes.push_back(sizeNumber(k));
        auto e = std::make_unique<ChainEntry>();
        e->list = static_cast<unsigned>(k + 1);
        e->next = head;
        e->count = 3;
        e->params.reset(new double[3]{sizes.back().w, sizes.back().h, sizes.back().d});
        head = e.get();
        owned.push_back(std::move(e));
    }
    if (state.range(1)) std::shuffle(sizes.begin(), sizes.end(), std::mt19937(12345));
    std::size_t next = 0;
    for (auto _ : state) {
        const double p[3] = {sizes[next].w, sizes[next].h, sizes[next].d};
        unsigned found = 0;
        for (const ChainEntry* e = head; e && !found; e = e->next)
            if (e->params[0] == p[0] && e->params[1] == p[1] && e->params[2] == p[2])
                found = e->list;
        benchmark::DoNotOptimize(found);
        if (++next == sizes.size()) next = 0;
    }
}
BENCHMARK(BM_ChainWalkForComparison)->Apply(sizeArgs);

}  // namespace

int main(int argc, char** argv) {
    if (!openHeadlessContext(16, 16)) {
        std::fprintf(stderr, "no offscreen GL context: %s\n", headlessError());
        return 1;
    }
    glMatrixMode(GL_MODELVIEW);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    closeHeadlessContext();
    return 0;
}
