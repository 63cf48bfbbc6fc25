#include "scene_writer.h"

SceneWriter sceneWriter(int seed, std::uint64_t salt) {
    return SceneWriter{static_cast<std::uint64_t>(seed) * 0x2545F4914F6CDD1Dull + salt, {}, 0};
}

std::uint64_t nextRandom(SceneWriter& w) {  // splitmix64
    std::uint64_t z = (w.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int below(SceneWriter& w, int n) {
    return static_cast<int>(nextRandom(w) % static_cast<std::uint64_t>(n));
}

bool chance(SceneWriter& w, int percent) { return below(w, 100) < percent; }

void writeKeyword(SceneWriter& w, StatementKind kind, std::size_t indent) {
    w.text.append(indent, ' ');
    w.text += keywordText(kind);
}
