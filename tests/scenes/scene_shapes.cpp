#include "test_scenes/scene_shapes.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>

#include "scene/scene.h"

namespace {

constexpr int kPush = static_cast<int>(StatementKind::Push);
constexpr int kPop = static_cast<int>(StatementKind::Pop);
constexpr int kMaterial = static_cast<int>(StatementKind::Material);
constexpr int kSpotlight = static_cast<int>(StatementKind::Spotlight);

// Words a scene may hold that no mode knows: misspellings, other formats'
// names, lower case.
const char* const kStrangers[] = {"Cylinder", "cube",  "Box", "Group",  "Scale",
                                  "Light",    "Color", "#",   "sphere", "Texture2"};

struct Generator {
    SceneShape shape;
    std::mt19937_64 random;
    std::string text;
    int depth = 0;

    unsigned below(unsigned n) { return static_cast<unsigned>(random() % n); }

    void digits(int count, bool leadingNonZero) {
        for (int i = 0; i < count; ++i)
            text +=
                static_cast<char>('0' + ((i == 0 && leadingNonZero) ? 1 + below(9) : below(10)));
    }

    // Up to three decimals, four in ten negative, mostly below 200.
    void ordinaryNumber() {
        if (below(10) < 4) text += '-';
        const unsigned whole = below(4) == 0 ? below(2000) : below(20);
        text += std::to_string(whole);
        const int decimals = static_cast<int>(below(4));
        if (decimals > 0) text += '.', digits(decimals, false);
    }

    void shortNumber() {
        static const char* const kShort[] = {"0", "1", "-1", "2", "0.5", "-2", ".5", "3", "5", "9"};
        text += kShort[below(10)];
    }

    // 1 to 17 significant digits, the point anywhere in them, three in ten
    // with an exponent of at most 8 either way.
    void longNumber() {
        if (below(10) < 4) text += '-';
        const int count = 1 + static_cast<int>(below(17));
        const int point = static_cast<int>(below(static_cast<unsigned>(count) + 1));
        if (point == 0) text += '0';
        for (int i = 0; i < count; ++i) {
            if (i == point) text += '.';
            text += static_cast<char>('0' + (i == 0 ? 1 + below(9) : below(10)));
        }
        if (below(10) < 3) {
            text += below(2) ? "e-" : "e";
            text += static_cast<char>('0' + below(9));
        }
    }

    void number() {
        text += ' ';
        switch (shape) {
            case SceneShape::ShortNumbers: shortNumber(); break;
            case SceneShape::LongNumbers: longNumber(); break;
            default: ordinaryNumber(); break;
        }
    }

    // The deepest and shallowest nesting the shape keeps to.
    int lowest() const { return shape == SceneShape::Nested ? 20 : 0; }
    int deepest() const {
        switch (shape) {
            case SceneShape::Flat: return 0;
            case SceneShape::Nested: return 40;
            case SceneShape::Mixed: return 30;
            default: return 6;
        }
    }

    int kind() {
        if (depth < lowest()) return kPush;
        if (shape == SceneShape::NumberHeavy && below(10) < 9)
            return below(2) ? kMaterial : kSpotlight;
        return 1 + static_cast<int>(below(13));
    }

    void statement() {
        if (shape == SceneShape::Unrecognised && below(10) == 0) {
            text += kStrangers[below(10)];
            for (unsigned n = below(4); n > 0; --n) number();
            text += '\n';
            return;
        }
        const int k = kind();
        if (k == kPush && depth >= deepest()) return;
        if (k == kPop && depth <= lowest()) return;
        depth += k == kPush ? 1 : k == kPop ? -1 : 0;
        const auto kind = static_cast<StatementKind>(k);
        text += keywordText(kind);
        for (int n = 0; n < keywordNumberCount(kind); ++n) number();
        text += '\n';
    }
};

}  // namespace

const char* sceneShapeName(SceneShape shape) {
    static const char* const kNames[] = {"mixed",        "flat",         "nested",
                                         "number-heavy", "short-number", "long-number",
                                         "unrecognised", "glued-push",   "deep"};
    return kNames[static_cast<int>(shape)];
}

namespace {

// The glued-Push scene is the mixed one after a Push glued to a number: a
// Push that only reading the number finds.
Generator startScene(SceneShape shape) {
    if (shape == SceneShape::GluedPush) {
        Generator g = startScene(SceneShape::Mixed);
        g.text = "Sphere 1Push\n";
        return g;
    }
    return Generator{shape, std::mt19937_64(1000 + static_cast<unsigned>(shape)), {}};
}

// The deep scene: Pushes, a Cube, then the Pops, one a line. Its output is
// some 220 (VRML) to 670 (C++) times its size: 400,000 Pushes at most.
std::string deepScene(std::size_t bytes) {
    const std::size_t pushes = std::clamp<std::size_t>(bytes / 9, 1, 400000);
    std::string text;
    text.reserve(pushes * 9 + 16);
    for (std::size_t k = 0; k < pushes; ++k) text += "Push\n";
    text += "Cube 1 1 1\n";
    for (std::size_t k = 0; k < pushes; ++k) text += "Pop\n";
    return text;
}

}  // namespace

std::string generateScene(SceneShape shape, std::size_t bytes) {
    if (shape == SceneShape::Deep) return deepScene(bytes);
    Generator g = startScene(shape);
    while (g.text.size() < bytes) g.statement();
    return g.text;
}

// Written a block at a time: the benchmark's own memory stays small, and
// the programs it starts inherit that.
bool writeScene(SceneShape shape, std::size_t bytes, const char* path) {
    std::FILE* file = std::fopen(path, "w");
    if (!file) return false;
    if (shape == SceneShape::Deep) {
        const std::string text = deepScene(bytes);  // some MB, held once
        const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        return std::fclose(file) == 0 && written;
    }
    Generator g = startScene(shape);
    bool written = true;
    for (std::size_t total = 0; total < bytes;) {
        g.statement();
        if (g.text.size() < (1u << 16) && total + g.text.size() < bytes) continue;
        written = written && std::fwrite(g.text.data(), 1, g.text.size(), file) == g.text.size();
        total += g.text.size();
        g.text.clear();
    }
    return std::fclose(file) == 0 && written;
}

std::string firstStatements(SceneShape shape, std::size_t count) {
    const std::string text = generateScene(shape, count * 60);
    std::size_t at = 0;
    for (std::size_t lines = 0; lines < count && at != std::string::npos; ++lines)
        at = text.find('\n', at + 1);
    return text.substr(0, at == std::string::npos ? text.size() : at + 1);
}
