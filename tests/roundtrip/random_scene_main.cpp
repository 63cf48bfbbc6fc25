// roundtrip_random_scene SEED OUT.scn: writes the drawable scene of SEED.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "test_scenes/random_scene.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: roundtrip_random_scene SEED OUT.scn\n");
        return 2;
    }
    const std::string text = drawableScene(std::atoi(argv[1]));
    std::FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr || std::fputs(text.c_str(), out) < 0 || std::fclose(out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
