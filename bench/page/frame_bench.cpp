// The page's frame, measured: 1,000, 10,000 and 100,000 solids, as a grid
// of spheres under one material and as the mixed scene cut after that many
// solids (every kind, materials, lights, rotations and scales), each drawn
// at 500 x 500 by the -html page in headless chromium and by
// mirovan-snapshot (goal: the page's frame at most twice the window's).
// frame_time.js does the timing; it needs node and tests/web's packages.
//   bench_page_frame [runs (3)] [largest solids (100000)]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_processes.h"
#include "test_scenes/scene_shapes.h"

namespace {

const std::string kDir = "/tmp/mirovan-bench-page-frame";

// `count` small spheres in a cube of side 36 around the origin.
std::string sphereGrid(int count) {
    const int side = static_cast<int>(std::ceil(std::cbrt(count)));
    const double pitch = 36.0 / side;
    std::string text = "Material 0.8 0.2 0.2 0.8 0.2 0.2 0.5 0.5 0.5 0 0 0 30\n";
    char line[160];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "Push\nTranslation %.3f %.3f %.3f\nSphere %.3f\nPop\n",
                      (i % side) * pitch - 18, (i / side % side) * pitch - 18,
                      (i / side / side) * pitch - 18, pitch * 0.3);
        text += line;
    }
    return text;
}

bool isSolid(const std::string& line) {
    for (const char* kind : {"Cube ", "Sphere ", "Cylindre ", "Cone "})
        if (line.compare(0, std::string(kind).size(), kind) == 0) return true;
    return false;
}

// The mixed scene up to and with its `count`th solid.
std::string mixedSolids(int count) {
    for (std::size_t bytes = count * 80;; bytes *= 2) {
        const std::string text = generateScene(SceneShape::Mixed, bytes);
        int solids = 0;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find('\n', at);
            end = end == std::string::npos ? text.size() : end + 1;
            if (isSolid(text.substr(at, end - at)) && ++solids == count) return text.substr(0, end);
            at = end;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const int largest = argc > 2 ? std::atoi(argv[2]) : 100000;
    std::system(("mkdir -p " + kDir).c_str());
    std::string scenes;
    for (const char* kind : {"spheres", "mixed"}) {
        for (int count = 1000; count <= largest; count *= 10) {
            const std::string scene = kDir + "/" + kind + "-" + std::to_string(count) + ".scn";
            const bool sphere = kind[0] == 's';
            if (!writeText(scene, sphere ? sphereGrid(count) : mixedSolids(count))) return 1;
            scenes += " " + scene;
        }
    }
    std::printf(
        "one 500 x 500 frame, the page (chromium, SwiftShader) against the window "
        "(mirovan-snapshot, llvmpipe); medians of %d runs\n",
        runs);
    std::fflush(stdout);
    const std::string command = "node " FRAME_TIME_SCRIPT " --mirovan " MIROVAN_BINARY
                                " --snapshot " SNAPSHOT_BINARY " --playground " PLAYGROUND_PAGE
                                " --runs " +
                                std::to_string(runs) + scenes;
    if (std::system(command.c_str()) != 0)
        std::printf(
            "(browser part skipped or failed: node, chromium and tests/web's packages "
            "needed)\n");
    return 0;
}
