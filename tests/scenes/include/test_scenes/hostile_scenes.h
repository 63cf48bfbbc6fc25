// The hostile scenes, each built in memory; tests/hostile/README.md gives
// what each one must produce.
#pragma once

#include <string>
#include <vector>

struct HostileScene {
    const char* name;
    std::string text;
};

const std::vector<HostileScene>& hostileScenes();
