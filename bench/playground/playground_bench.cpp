// The playground, measured in headless chromium: the file's size, the time
// from load to first picture (goal: 1 s for the examples), from the last
// keystroke to the new picture (goals: median 150 ms for the examples,
// 500 ms for 10,000 statements), and the module's -html and -gltf on
// 100,000 statements against the native program's (goal: at most 3 times).
// Needs `make playground`, node and tests/web's packages; without them it
// says so and stops.
//   bench_playground [PLAYGROUND.html]
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_processes.h"
#include "test_scenes/scene_shapes.h"

namespace {

const std::string kDir = "/tmp/mirovan-bench-playground";

double nativeMs(const char* mode, const std::string& scene, const std::string& output) {
    std::vector<double> times;
    for (int i = 0; i < 5; ++i)
        times.push_back(runTimed({MIROVAN_BINARY, mode, scene, output}, "/dev/null").seconds * 1e3);
    return median(times);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string playground = argc > 1 ? argv[1] : PLAYGROUND_HTML;
    struct stat info {};
    if (::stat(playground.c_str(), &info) != 0) {
        std::printf("%s not built (make playground): skipped\n", playground.c_str());
        return 0;
    }
    std::system(("mkdir -p " + kDir).c_str());
    const std::string ten = kDir + "/statements-10000.scn",
                      hundred = kDir + "/statements-100000.scn";
    if (!writeText(ten, firstStatements(SceneShape::Mixed, 10000)) ||
        !writeText(hundred, firstStatements(SceneShape::Mixed, 100000)))
        return 1;

    const double html = nativeMs("-html", hundred, kDir + "/native.html");
    const double gltf = nativeMs("-gltf", hundred, kDir + "/native.glb");
    std::printf("native on 100,000 statements: -html %.0f ms, -gltf %.0f ms (medians of 5)\n", html,
                gltf);
    std::fflush(stdout);
    const std::string command = "node " BENCH_SCRIPT " " + playground + " " EXAMPLES_DIR " " + ten +
                                " --evaluate " + hundred + " --native " + std::to_string(html) +
                                "," + std::to_string(gltf);
    if (std::system(command.c_str()) != 0)
        std::printf("(browser part failed: node, chromium and tests/web's packages needed)\n");
    return 0;
}
