// The stressing scenes: see random_scene.h.
#include "test_scenes/random_scene.h"

#include <cstdio>

#include "scene_writer.h"

namespace {

// A number from low to high in steps of 1 / scale.
void number(SceneWriter& m, double low, double high, int scale = 100) {
    const long span = static_cast<long>((high - low) * scale);
    char digits[40];
    std::snprintf(digits, sizeof digits, " %g",
                  low + static_cast<double>(below(m, span + 1)) / scale);
    m.text += digits;
}

// `count` numbers from low to high.
void numbers(SceneWriter& m, int count, double low, double high) {
    for (int k = 0; k < count; ++k) number(m, low, high);
}

// A light's intensity and colour.
void intensityAndColour(SceneWriter& m) {
    number(m, 0, 1.5);
    numbers(m, 3, 0, 1);
}

void word(SceneWriter& m, StatementKind kind) {
    writeKeyword(m, kind, static_cast<std::size_t>(m.depth < 40 ? m.depth : 40));
}

void axis(SceneWriter& m) {
    const int only = below(m, 5);  // 0..2: one axis, as the GL special-cases
    for (int k = 0; k < 3; ++k) {
        if (only < 3 && k != only)
            m.text += " 0";
        else
            number(m, -1, 1);
    }
}

void statement(SceneWriter& m) {
    switch (below(m, 12)) {
        case 0:
            word(m, StatementKind::Cube);
            numbers(m, 3, -2, 6);
            break;
        case 1:
            word(m, StatementKind::Sphere);
            number(m, -0.5, 4);
            break;
        case 2:
            word(m, StatementKind::Cylindre);
            number(m, 0, 3);
            number(m, -1, 5);
            break;
        case 3:
            word(m, StatementKind::Cone);
            number(m, 0, 3);
            number(m, 0, 5);
            break;
        case 4:
            word(m, StatementKind::Translation);
            numbers(m, 3, -8, 8);
            break;
        case 5:
            word(m, StatementKind::Rotation);
            number(m, -400, 400, 10);
            axis(m);
            break;
        case 6:
            word(m, StatementKind::Zoom);
            numbers(m, 3, -1.5, 2);
            break;
        case 7:
            word(m, StatementKind::Material);
            numbers(m, 12, 0, 1);
            number(m, -20, 160, 10);  // some refused
            break;
        case 8:
            word(m, StatementKind::Pointlight);
            numbers(m, 3, -15, 15);
            intensityAndColour(m);
            break;
        case 9:
            word(m, StatementKind::Dirlight);
            axis(m);
            intensityAndColour(m);
            break;
        default:
            word(m, StatementKind::Spotlight);
            numbers(m, 3, -15, 15);
            axis(m);
            intensityAndColour(m);
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

void push(SceneWriter& m) {
    word(m, StatementKind::Push);
    m.text += '\n';
    ++m.depth;
}

void pop(SceneWriter& m) {
    if (m.depth > 0) --m.depth;
    word(m, StatementKind::Pop);
    m.text += '\n';
}

}  // namespace

std::string stressScene(int seed) {
    SceneWriter m = sceneWriter(seed, 7);
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
