// page_hostile_scenes DIR: writes each scene of the hostile catalogue to
// DIR/NAME.scn, for the page tests to open in the browser.
#include <cstdio>
#include <string>

#include "test_scenes/hostile_scenes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: page_hostile_scenes DIR\n");
        return 2;
    }
    for (const HostileScene& scene : hostileScenes()) {
        const std::string path = std::string(argv[1]) + "/" + scene.name + ".scn";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file ||
            std::fwrite(scene.text.data(), 1, scene.text.size(), file) != scene.text.size() ||
            std::fclose(file) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::puts(scene.name);
    }
    return 0;
}
