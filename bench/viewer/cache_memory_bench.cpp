// Peak memory of screen mode offscreen (VmHWM, each scene in a process of
// its own): 20,000 spheres of one radius against 20,000 of distinct radii,
// and a window left open while sizes are edited (every frame a scene of new
// radii). The display-list cache holds what the frames use, up to its bound,
// so distinct sizes should cost no more than 1.5 times equal ones.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "headless/headless.h"
#include "support/support_state.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

namespace {

constexpr int kSpheres = 20000;

void writeScene(const std::string& path, int frame, bool distinct) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fprintf(f, "Pointlight 10 10 10 1 1 1 1\n");
    for (int k = 0; k < kSpheres; ++k)
        std::fprintf(f, "Push\nTranslation %d %d 0\nSphere %.6f\nPop\n", k % 40 - 20,
                     k / 40 % 40 - 20, distinct ? 0.5 + (frame * kSpheres + k) * 1e-6 : 0.5);
    std::fclose(f);
}

long peakKilobytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    while (status && std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::atol(line + 6);
    if (status) std::fclose(status);
    return kb;
}

// Draws `frames` frames in a child process; its peak in kB, or -1.
long measure(bool distinct, bool editEveryFrame, int frames) {
    const std::string path = "/tmp/mirovan-cache-bench-" + std::to_string(getpid()) + ".scn";
    int channel[2];
    if (pipe(channel) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);  // the echo
        long result = -1;
        if (openHeadlessContext(500, 500)) {
            myInit();
            reshapeView(500, 500);
            writeScene(path, 0, distinct);
            setSceneFileName(path.c_str());
            setFrameDrawer(drawScene);
            for (int frame = 0; frame < frames; ++frame) {
                if (editEveryFrame && frame > 0) writeScene(path, frame, distinct);
                displayFrame();
            }
            result = peakKilobytes();
            if (shapeListCount() > kMaxShapeLists) result = -2;
        }
        if (write(channel[1], &result, sizeof result) != sizeof result) _exit(1);
        _exit(0);
    }
    close(channel[1]);
    long kb = -1;
    if (read(channel[0], &kb, sizeof kb) != sizeof kb) kb = -1;
    close(channel[0]);
    waitpid(child, nullptr, 0);
    unlink(path.c_str());
    return kb;
}

}  // namespace

int main() {
    // llvmpipe's drawing threads make the peak wander by a hundred MB from
    // run to run; drawn on the calling thread the figures repeat.
    setenv("LP_NUM_THREADS", "0", 0);
    const long equal = measure(false, false, 3);
    const long distinct = measure(true, false, 3);
    const long edited = measure(true, true, 10);
    std::printf("Peak memory of screen mode, %d spheres (cache bound %zu lists)\n", kSpheres,
                kMaxShapeLists);
    std::printf("  equal radii, 3 frames           %8ld kB\n", equal);
    std::printf("  distinct radii, 3 frames        %8ld kB  (%.2fx equal)\n", distinct,
                equal > 0 ? static_cast<double>(distinct) / equal : 0.0);
    std::printf("  new radii every frame, 10 frames %7ld kB  (%.2fx equal)\n", edited,
                equal > 0 ? static_cast<double>(edited) / equal : 0.0);
    const bool within = equal > 0 && distinct > 0 && edited > 0 && distinct * 2 <= equal * 3 &&
                        edited * 2 <= equal * 3;
    std::printf("%s\n", within ? "within 1.5x: yes" : "within 1.5x: NO");
    return within ? 0 : 1;
}
