// The page of a scene, measured: for every scene shape of 1 MB the page's
// size against the scene's (goal: at most twice), the translation time and
// peak memory of a 20 MB scene, and the first picture in headless chromium
// of the bundled examples (goal: 1 s) and of a 10,000-statement scene
// (goal: 3 s). The browser part needs node and tests/web's packages (make
// test installs them); without them it is skipped.
//   bench_page [runs (3)]
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_processes.h"
#include "test_scenes/scene_shapes.h"

namespace {

const std::string kDir = "/tmp/mirovan-bench-page";

bool writeText(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The first `count` statements of a mixed scene, one a line.
std::string firstStatements(std::size_t count) {
    const std::string text = generateScene(SceneShape::Mixed, count * 60);
    std::size_t at = 0;
    for (std::size_t lines = 0; lines < count && at != std::string::npos; ++lines)
        at = text.find('\n', at + 1);
    return text.substr(0, at == std::string::npos ? text.size() : at + 1);
}

ProcessRun translate(const std::string& scene, const std::string& page, int runs) {
    std::vector<double> seconds, cpu;
    ProcessRun worst{0, 0, 0, true};
    for (int i = 0; i < runs; ++i) {
        const ProcessRun run = runTimed({MIROVAN_BINARY, "-html", scene, page}, "/dev/null");
        seconds.push_back(run.seconds);
        cpu.push_back(run.cpuSeconds);
        worst.peakMiB = std::max(worst.peakMiB, run.peakMiB);
        worst.succeeded = worst.succeeded && run.succeeded;
    }
    worst.seconds = median(seconds);
    worst.cpuSeconds = median(cpu);
    return worst;
}

// A busy machine shows in the wall-clock times; the CPU times hold.
void printLoad() {
    double load = -1;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) load = -1;
        std::fclose(f);
    }
    std::printf("load average: %.2f\n", load);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    std::system(("mkdir -p " + kDir).c_str());
    bool met = true;

    printLoad();
    std::printf("%-13s %9s %9s %7s %8s %8s %8s\n", "shape (1 MB)", "scene KB", "page KB", "x scene",
                "ms", "cpu ms", "peakMiB");
    for (int s = 0; s < kSceneShapeCount; ++s) {
        const auto shape = static_cast<SceneShape>(s);
        const std::string scene = kDir + "/" + sceneShapeName(shape) + ".scn";
        const std::string page = kDir + "/" + sceneShapeName(shape) + ".html";
        if (!writeScene(shape, 1000000, scene.c_str())) return 1;
        const ProcessRun run = translate(scene, page, runs);
        const double ratio = static_cast<double>(fileSize(page)) / fileSize(scene);
        met = met && ratio <= 2 && run.succeeded;
        std::printf("%-13s %9.1f %9.1f %7.2f %8.1f %8.1f %8.1f%s\n", sceneShapeName(shape),
                    fileSize(scene) / 1024.0, fileSize(page) / 1024.0, ratio, run.seconds * 1e3,
                    run.cpuSeconds * 1e3, run.peakMiB, ratio <= 2 ? "" : "  (goal not met)");
    }

    const std::string big = kDir + "/mixed-20mb.scn", bigPage = kDir + "/mixed-20mb.html";
    if (!writeScene(SceneShape::Mixed, 20000000, big.c_str())) return 1;
    const ProcessRun run = translate(big, bigPage, runs);
    std::printf(
        "\n20 MB mixed scene: %.0f ms (cpu %.0f ms), peak %.1f MiB, page %.1f MB (%.2f x)\n",
        run.seconds * 1e3, run.cpuSeconds * 1e3, run.peakMiB, fileSize(bigPage) / 1e6,
        static_cast<double>(fileSize(bigPage)) / fileSize(big));
    std::remove(big.c_str());
    std::remove(bigPage.c_str());

    // Pages for the browser: the examples and 10,000 statements.
    std::string pages;
    for (const char* name : {"robot", "still_life", "lights"}) {
        const std::string page = kDir + "/" + name + ".html";
        translate(std::string(EXAMPLES_DIR) + "/" + name + ".scn", page, 1);
        pages += " " + page;
    }
    const std::string tenThousand = kDir + "/statements-10000.scn";
    if (!writeText(tenThousand, firstStatements(10000))) return 1;
    translate(tenThousand, kDir + "/statements-10000.html", 1);
    pages += " " + kDir + "/statements-10000.html";
    std::printf(
        "\nfirst picture in headless chromium (goals: examples 1 s, 10,000 statements 3 s)\n");
    std::fflush(stdout);
    const int browser = std::system(("node " FIRST_PICTURE_SCRIPT + pages).c_str());
    if (browser != 0)
        std::printf(
            "(browser part skipped or failed: node, chromium and tests/web's packages needed)\n");

    std::printf("%s\n", met ? "page size goal met for every shape" : "page size goal NOT met");
    return 0;
}
