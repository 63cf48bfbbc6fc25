// gltf_hostile_scenes DIR: writes every scene of the hostile catalogue to
// DIR/NAME.scn, for the checks that run outside C++.
#include <cstdio>
#include <string>

#include "test_scenes/hostile_scenes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: gltf_hostile_scenes DIR\n");
        return 2;
    }
    for (const HostileScene& scene : hostileScenes()) {
        const std::string path = std::string(argv[1]) + "/" + scene.name + ".scn";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const bool written =
            file && std::fwrite(scene.text.data(), 1, scene.text.size(), file) == scene.text.size();
        if (!file || std::fclose(file) != 0 || !written) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
