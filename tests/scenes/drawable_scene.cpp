// The drawable scenes: see random_scene.h.
//
// Numbers have at most three decimals. The viewer reads them at run time
// ("%f" into a float, "%lf" into a double); the generated source holds them
// as six-decimal literals ("%fF", "%lf") that the compiler reads. A decimal
// of at most six decimals comes back from its float or double through six
// decimals unchanged, so both sides draw with the very same numbers. A
// number with more decimals could come back one unit in the last place
// away, and the pictures would then differ for reasons that are not faults.
#include "test_scenes/random_scene.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "scene_writer.h"

namespace {

struct Generator {
    SceneWriter w;
    std::vector<int> lightsAtDepth{0};  // lights in the set at each open level
};

int below(Generator& gen, int n) { return below(gen.w, n); }
bool chance(Generator& gen, int percent) { return chance(gen.w, percent); }

// A number from low to high with minDecimals to maxDecimals decimals.
void number(Generator& g, double low, double high, int maxDecimals = 3, int minDecimals = 0) {
    const int decimals = minDecimals + below(g, maxDecimals - minDecimals + 1);
    int scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const long from = std::lround(std::ceil(low * scale - 1e-9));
    const long to = std::lround(std::floor(high * scale + 1e-9));
    const long k =
        from + static_cast<long>(nextRandom(g.w) % static_cast<std::uint64_t>(to - from + 1));
    char digits[48];
    std::snprintf(digits, sizeof digits, " %.*f", decimals, static_cast<double>(k) / scale);
    g.w.text += digits;
}

// A direction that is never the zero vector.
void direction(Generator& g) {
    const int axis = below(g, 3);
    for (int i = 0; i < 3; ++i) {
        if (i != axis)
            number(g, -1.0, 1.0, 2);
        else if (chance(g, 50))
            number(g, 0.25, 1.0, 2, 2);
        else
            number(g, -1.0, -0.25, 2, 2);
    }
}

void colour(Generator& g) {
    for (int i = 0; i < 3; ++i) number(g, 0.0, 1.0);
}

void keyword(Generator& g, StatementKind kind) {
    writeKeyword(g.w, kind, static_cast<std::size_t>(g.w.depth) * 2);
}

enum Kind {
    Cube,
    Sphere,
    Cylindre,
    Cone,
    Translation,
    Rotation,
    Zoom,
    Material,
    Pointlight,
    Dirlight,
    Spotlight,
    KindCount
};

void statement(Generator& g, Kind kind) {
    int& lights = g.lightsAtDepth.back();
    if (kind >= Pointlight && lights == 8) kind = Material;
    switch (kind) {
        case Cube:
            keyword(g, StatementKind::Cube);
            for (int i = 0; i < 3; ++i) number(g, 1.0, 10.0);
            break;
        case Sphere:
            keyword(g, StatementKind::Sphere);
            number(g, 0.5, 6.0);
            break;
        case Cylindre:
        case Cone:
            keyword(g, kind == Cone ? StatementKind::Cone : StatementKind::Cylindre);
            number(g, 0.5, 4.0);
            number(g, 1.0, 10.0);
            break;
        case Translation:  // small steps at the top, where they add up
            keyword(g, StatementKind::Translation);
            for (int i = 0; i < 3; ++i)
                number(g, g.w.depth == 0 ? -5.0 : -12.0, g.w.depth == 0 ? 5.0 : 12.0);
            break;
        case Rotation:
            keyword(g, StatementKind::Rotation);
            number(g, -180.0, 180.0, 1);
            direction(g);
            break;
        case Zoom:
            keyword(g, StatementKind::Zoom);
            for (int i = 0; i < 3; ++i) number(g, 0.6, 1.5, 2);
            break;
        case Material:
            keyword(g, StatementKind::Material);
            colour(g);                                                              // diffuse
            for (int i = 0; i < 3; ++i) number(g, 0.0, 0.4);                        // ambient
            colour(g);                                                              // specular
            for (int i = 0; i < 3; ++i) number(g, 0.0, chance(g, 70) ? 0.0 : 0.3);  // emissive
            number(g, 0.0, 128.0, 1);
            break;
        case Pointlight:
        case Dirlight:
            if (kind == Pointlight) {
                keyword(g, StatementKind::Pointlight);
                for (int i = 0; i < 3; ++i) number(g, -20.0, 20.0);
            } else {
                keyword(g, StatementKind::Dirlight);
                direction(g);
            }
            number(g, 0.2, 1.5, 2);
            colour(g);
            ++lights;
            break;
        case Spotlight:
            keyword(g, StatementKind::Spotlight);
            for (int i = 0; i < 3; ++i) number(g, -15.0, 15.0);
            direction(g);
            number(g, 0.5, 2.0, 2);
            colour(g);
            number(g, 10.0, 90.0, 1);
            ++lights;
            break;
        case KindCount: break;
    }
    g.w.text += '\n';
}

void push(Generator& g) {
    keyword(g, StatementKind::Push);
    g.w.text += '\n';
    ++g.w.depth;
    g.lightsAtDepth.push_back(g.lightsAtDepth.back());
}

void pop(Generator& g) {
    --g.w.depth;
    g.lightsAtDepth.pop_back();
    keyword(g, StatementKind::Pop);
    g.w.text += '\n';
}

void writeScene(Generator& g, int total, bool closeAll) {
    // Every kind once, shuffled, then random kinds up to the length; shapes
    // come more often than the rest.
    std::vector<Kind> kinds;
    for (int k = 0; k < KindCount; ++k) kinds.push_back(static_cast<Kind>(k));
    const int brackets = total / 6;
    while (static_cast<int>(kinds.size()) + 2 * brackets < total)
        kinds.push_back(chance(g, 45) ? static_cast<Kind>(below(g, 4))
                                      : static_cast<Kind>(below(g, KindCount)));
    for (std::size_t i = kinds.size() - 1; i > 0; --i)
        std::swap(kinds[i], kinds[static_cast<std::size_t>(below(g, static_cast<int>(i) + 1))]);

    statement(g, static_cast<Kind>(below(g, 4)));  // a shape before any Material
    int pushes = 0;
    for (const Kind kind : kinds) {
        if (pushes < brackets && g.w.depth < 4 && chance(g, 30)) {
            push(g);
            ++pushes;
        }
        statement(g, kind);
        if (g.w.depth > 0 && chance(g, 20)) pop(g);
    }
    while (pushes < brackets) {  // the remaining pairs, nested at the end
        push(g);
        ++pushes;
        statement(g, static_cast<Kind>(below(g, 4)));
    }
    if (!closeAll && g.w.depth == 0) {
        push(g);
        statement(g, static_cast<Kind>(below(g, 4)));
    }
    while (g.w.depth > (closeAll ? 0 : 1)) pop(g);
}

}  // namespace

std::string drawableScene(int seed) {
    Generator g{sceneWriter(seed, 1)};
    // 1 + total statements, up to total / 6 shapes more for the last
    // brackets and 2 for an open one: 30 to 80.
    writeScene(g, 29 + below(g, 38), seed % 5 != 0);
    return g.w.text;
}
