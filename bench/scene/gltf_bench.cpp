// The glTF export of the mixed scene against its VRML translation: time
// (median of several runs), peak memory and file size. Goals: at most twice
// the VRML time, under 64 MiB, a .glb no larger than the .wrl.
//   bench_gltf [megabytes (20)] [runs (5)]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scene_baseline/scene_shapes.h"
#include "bench_processes.h"

namespace {

const std::string kDir = "/tmp/mirovan-bench-gltf";

struct Measure {
    double seconds, cpu, peakMiB, outputMiB;
};

Measure measure(const char* flag, const std::string& scene, const std::string& output, int runs) {
    std::vector<double> seconds, cpu;
    double peak = 0;
    for (int i = 0; i < runs; ++i) {
        const ProcessRun run = runTimed({MIROVAN_BINARY, flag, scene, output}, "/dev/null");
        if (!run.succeeded) std::fprintf(stderr, "failed: mirovan %s\n", flag);
        seconds.push_back(run.seconds);
        cpu.push_back(run.cpuSeconds);
        if (run.peakMiB > peak) peak = run.peakMiB;
    }
    return {median(seconds), median(cpu), peak, static_cast<double>(fileSize(output)) / (1 << 20)};
}

}  // namespace

int main(int argc, char** argv) {
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 20;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    std::system(("mkdir -p " + kDir).c_str());
    const std::string scene = kDir + "/mixed.scn";
    if (!writeScene(SceneShape::Mixed, static_cast<std::size_t>(megabytes * 1e6), scene.c_str())) {
        std::fprintf(stderr, "cannot write %s\n", scene.c_str());
        return 1;
    }
    const Measure vrml = measure("-vrml", scene, kDir + "/mixed.wrl", runs);
    const Measure gltf = measure("-gltf", scene, kDir + "/mixed.glb", runs);
    std::printf("%-6s %8s %8s %8s %8s\n", "mode", "ms", "cpu ms", "peakMiB", "out MiB");
    for (const auto& [name, m] : {std::pair{"vrml", vrml}, std::pair{"gltf", gltf}})
        std::printf("%-6s %8.1f %8.1f %8.1f %8.2f\n", name, m.seconds * 1e3, m.cpu * 1e3, m.peakMiB,
                    m.outputMiB);
    const double ratio = gltf.seconds / vrml.seconds;
    const bool met = ratio <= 2 && gltf.peakMiB < 64 && gltf.outputMiB <= vrml.outputMiB;
    std::printf("glTF time %.2fx VRML's, peak %.1f MiB, file %.2fx VRML's: %s\n", ratio,
                gltf.peakMiB, gltf.outputMiB / vrml.outputMiB,
                met ? "every goal met" : "NOT every goal met");
    for (const char* f : {"/mixed.scn", "/mixed.wrl", "/mixed.glb"})
        std::remove((kDir + f).c_str());
    return 0;
}
