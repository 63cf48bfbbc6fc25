// roundtrip_random_scene SEED OUT.scn: writes a random scene, the same one
// for the same seed on every machine (own generator, no std distributions).
//
// Every scene holds each statement kind at least once, Push / Pop nested up
// to four deep, shapes before its first Material (so the second frame draws
// them with the material the first one left), and at most eight lights at a
// time. Every fifth seed leaves its innermost brackets open at the end.
//
// Numbers have at most three decimals. The viewer reads them at run time
// ("%f" into a float, "%lf" into a double); the generated source holds them
// as six-decimal literals ("%fF", "%lf") that the compiler reads. A decimal
// of at most six decimals comes back from its float or double through six
// decimals unchanged, so both sides draw with the very same numbers. A
// number with more decimals could come back one unit in the last place
// away, and the pictures would then differ for reasons that are not faults.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Generator {
    std::uint64_t state;
    std::string text;
    int depth = 0;
    std::vector<int> lightsAtDepth{0};  // lights in the set at each open level
    bool materialSeen = false;
};

Generator gen;

std::uint64_t next() {  // splitmix64
    std::uint64_t z = (gen.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
bool chance(int percent) { return below(100) < percent; }

// A number from low to high with minDecimals to maxDecimals decimals.
void number(double low, double high, int maxDecimals = 3, int minDecimals = 0) {
    const int decimals = minDecimals + below(maxDecimals - minDecimals + 1);
    int scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const long from = std::lround(std::ceil(low * scale - 1e-9));
    const long to = std::lround(std::floor(high * scale + 1e-9));
    const long k = from + static_cast<long>(next() % static_cast<std::uint64_t>(to - from + 1));
    char digits[48];
    std::snprintf(digits, sizeof digits, " %.*f", decimals, static_cast<double>(k) / scale);
    gen.text += digits;
}

// A direction that is never the zero vector.
void direction() {
    const int axis = below(3);
    for (int i = 0; i < 3; ++i) {
        if (i != axis)
            number(-1.0, 1.0, 2);
        else if (chance(50))
            number(0.25, 1.0, 2, 2);
        else
            number(-1.0, -0.25, 2, 2);
    }
}

void colour() {
    for (int i = 0; i < 3; ++i) number(0.0, 1.0);
}

void keyword(const char* word) {
    gen.text.append(static_cast<std::size_t>(gen.depth) * 2, ' ');
    gen.text += word;
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

void statement(Kind kind) {
    int& lights = gen.lightsAtDepth.back();
    if (kind >= Pointlight && lights == 8) kind = Material;
    switch (kind) {
        case Cube:
            keyword("Cube");
            for (int i = 0; i < 3; ++i) number(1.0, 10.0);
            break;
        case Sphere:
            keyword("Sphere");
            number(0.5, 6.0);
            break;
        case Cylindre:
        case Cone:
            keyword(kind == Cone ? "Cone" : "Cylindre");
            number(0.5, 4.0);
            number(1.0, 10.0);
            break;
        case Translation:  // small steps at the top, where they add up
            keyword("Translation");
            for (int i = 0; i < 3; ++i)
                number(gen.depth == 0 ? -5.0 : -12.0, gen.depth == 0 ? 5.0 : 12.0);
            break;
        case Rotation:
            keyword("Rotation");
            number(-180.0, 180.0, 1);
            direction();
            break;
        case Zoom:
            keyword("Zoom");
            for (int i = 0; i < 3; ++i) number(0.6, 1.5, 2);
            break;
        case Material:
            keyword("Material");
            colour();                                                         // diffuse
            for (int i = 0; i < 3; ++i) number(0.0, 0.4);                     // ambient
            colour();                                                         // specular
            for (int i = 0; i < 3; ++i) number(0.0, chance(70) ? 0.0 : 0.3);  // emissive
            number(0.0, 128.0, 1);
            gen.materialSeen = true;
            break;
        case Pointlight:
            keyword("Pointlight");
            for (int i = 0; i < 3; ++i) number(-20.0, 20.0);
            number(0.2, 1.5, 2);
            colour();
            ++lights;
            break;
        case Dirlight:
            keyword("Dirlight");
            direction();
            number(0.2, 1.5, 2);
            colour();
            ++lights;
            break;
        case Spotlight:
            keyword("Spotlight");
            for (int i = 0; i < 3; ++i) number(-15.0, 15.0);
            direction();
            number(0.5, 2.0, 2);
            colour();
            number(10.0, 90.0, 1);
            ++lights;
            break;
        case KindCount: break;
    }
    gen.text += '\n';
}

void push() {
    keyword("Push\n");
    ++gen.depth;
    gen.lightsAtDepth.push_back(gen.lightsAtDepth.back());
}

void pop() {
    --gen.depth;
    gen.lightsAtDepth.pop_back();
    keyword("Pop\n");
}

void writeScene(int total, bool closeAll) {
    // Every kind once, shuffled, then random kinds up to the length; shapes
    // come more often than the rest.
    std::vector<Kind> kinds;
    for (int k = 0; k < KindCount; ++k) kinds.push_back(static_cast<Kind>(k));
    const int brackets = total / 6;
    while (static_cast<int>(kinds.size()) + 2 * brackets < total)
        kinds.push_back(chance(45) ? static_cast<Kind>(below(4))
                                   : static_cast<Kind>(below(KindCount)));
    for (std::size_t i = kinds.size() - 1; i > 0; --i)
        std::swap(kinds[i], kinds[static_cast<std::size_t>(below(static_cast<int>(i) + 1))]);

    statement(static_cast<Kind>(below(4)));  // a shape before any Material
    int pushes = 0;
    for (const Kind kind : kinds) {
        if (pushes < brackets && gen.depth < 4 && chance(30)) {
            push();
            ++pushes;
        }
        statement(kind);
        if (gen.depth > 0 && chance(20)) pop();
    }
    while (pushes < brackets) {  // the remaining pairs, nested at the end
        push();
        ++pushes;
        statement(static_cast<Kind>(below(4)));
    }
    if (!closeAll && gen.depth == 0) {
        push();
        statement(static_cast<Kind>(below(4)));
    }
    while (gen.depth > (closeAll ? 0 : 1)) pop();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: roundtrip_random_scene SEED OUT.scn\n");
        return 2;
    }
    const int seed = std::atoi(argv[1]);
    gen.state = static_cast<std::uint64_t>(seed) * 0x2545F4914F6CDD1Dull + 1;
    // 1 + total statements, up to total / 6 shapes more for the last
    // brackets and 2 for an open one: 30 to 80.
    writeScene(29 + below(38), seed % 5 != 0);
    std::FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr || std::fputs(gen.text.c_str(), out) < 0 || std::fclose(out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
