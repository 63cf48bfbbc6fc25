// What the random scenes are written with: a random stream that is the same
// on every machine (splitmix64, no std distributions) and the scene text it
// fills, keywords spelled from the reader's own table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/scene.h"

struct SceneWriter {
    std::uint64_t state;
    std::string text;
    int depth = 0;
};

// A seed's stream: the same seed with another `salt` gives another scene.
SceneWriter sceneWriter(int seed, std::uint64_t salt);
std::uint64_t nextRandom(SceneWriter& w);
int below(SceneWriter& w, int n);  // 0 to n - 1
bool chance(SceneWriter& w, int percent);

// `indent` blanks, then the keyword.
void writeKeyword(SceneWriter& w, StatementKind kind, std::size_t indent);
