#include "scene_maker.h"

#include <cstdint>
#include <cstdio>

namespace {

struct Maker {
    std::uint64_t state;
    std::string text;
    int depth;
};

std::uint64_t next(Maker& m) {  // splitmix64
    std::uint64_t z = (m.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int below(Maker& m, int n) { return static_cast<int>(next(m) % static_cast<std::uint64_t>(n)); }

// A number from low to high in steps of 1 / scale.
void number(Maker& m, double low, double high, int scale = 100) {
    const long span = static_cast<long>((high - low) * scale);
    char digits[40];
    std::snprintf(digits, sizeof digits, " %g",
                  low + static_cast<double>(below(m, span + 1)) / scale);
    m.text += digits;
}

void word(Maker& m, const char* w) {
    m.text.append(static_cast<std::size_t>(m.depth < 40 ? m.depth : 40), ' ');
    m.text += w;
}

void axis(Maker& m) {
    const int only = below(m, 5);  // 0..2: one axis, as the GL special-cases
    for (int k = 0; k < 3; ++k) {
        if (only < 3 && k != only)
            m.text += " 0";
        else
            number(m, -1, 1);
    }
}

void statement(Maker& m) {
    switch (below(m, 12)) {
        case 0:
            word(m, "Cube");
            for (int k = 0; k < 3; ++k) number(m, -2, 6);
            break;
        case 1:
            word(m, "Sphere");
            number(m, -0.5, 4);
            break;
        case 2:
            word(m, "Cylindre");
            number(m, 0, 3);
            number(m, -1, 5);
            break;
        case 3:
            word(m, "Cone");
            number(m, 0, 3);
            number(m, 0, 5);
            break;
        case 4:
            word(m, "Translation");
            for (int k = 0; k < 3; ++k) number(m, -8, 8);
            break;
        case 5:
            word(m, "Rotation");
            number(m, -400, 400, 10);
            axis(m);
            break;
        case 6:
            word(m, "Zoom");
            for (int k = 0; k < 3; ++k) number(m, -1.5, 2);
            break;
        case 7:
            word(m, "Material");
            for (int k = 0; k < 12; ++k) number(m, 0, 1);
            number(m, -20, 160, 10);  // some refused
            break;
        case 8:
            word(m, "Pointlight");
            for (int k = 0; k < 3; ++k) number(m, -15, 15);
            number(m, 0, 1.5);
            for (int k = 0; k < 3; ++k) number(m, 0, 1);
            break;
        case 9:
            word(m, "Dirlight");
            axis(m);
            number(m, 0, 1.5);
            for (int k = 0; k < 3; ++k) number(m, 0, 1);
            break;
        default:
            word(m, "Spotlight");
            for (int k = 0; k < 3; ++k) number(m, -15, 15);
            axis(m);
            number(m, 0, 1.5);
            for (int k = 0; k < 3; ++k) number(m, 0, 1);
            // Whole, fractional, and the edges the GL refuses or takes truncated.
            switch (below(m, 4)) {
                case 0: number(m, 0, 90, 1); break;
                case 1: number(m, -1, 100, 10); break;
                default: number(m, 179.5, 181, 10); break;
            }
            break;
    }
    m.text += '\n';
}

void push(Maker& m) {
    word(m, "Push\n");
    ++m.depth;
}

void pop(Maker& m) {
    if (m.depth > 0) --m.depth;
    word(m, "Pop\n");
}

}  // namespace

std::string randomScene(int seed) {
    Maker m{static_cast<std::uint64_t>(seed) * 0x2545F4914F6CDD1Dull + 7, {}, 0};
    const int statements = 40 + below(m, 80);
    // Every third scene nests far beyond every stack somewhere along the way.
    const int deepAt = seed % 3 == 0 ? below(m, statements) : -1;
    for (int n = 0; n < statements; ++n) {
        if (n == deepAt) {
            const int levels = 30 + below(m, 60);
            for (int k = 0; k < levels; ++k) {
                push(m);
                if (below(m, 3) == 0) statement(m);
            }
            statement(m);
            for (int k = 0; k < levels; ++k) {
                if (below(m, 4) == 0) statement(m);
                pop(m);
            }
        }
        if (below(m, 100) < 25 && m.depth < 6) push(m);
        statement(m);
        if (below(m, 100) < 20) pop(m);  // at the top: an unmatched Pop
        if (below(m, 100) < 2) m.text += "cube 1 2 3\n";
    }
    while (m.depth > (seed % 4 == 0 ? 1 : 0)) pop(m);
    return m.text;
}
