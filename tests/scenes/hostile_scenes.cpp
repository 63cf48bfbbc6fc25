#include "test_scenes/hostile_scenes.h"

#include <cstdint>

namespace {

std::string repeat(const std::string& piece, int times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int k = 0; k < times; ++k) out += piece;
    return out;
}

// Every byte value, NULs among them, in an order that repeats nothing short.
std::string binaryGarbage(std::size_t size) {
    std::string out(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : out) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 23);
    }
    return out;
}

constexpr char kNulBytes[] = "Cube\0 1 2 3\0\0Sphere\0\0 1\n\0Push\0Pop Cube 1\0 2 3";

std::vector<HostileScene> build() {
    const std::string digits = repeat("7", 100000);
    return {
        {"empty", ""},
        {"binary-garbage", binaryGarbage(1 << 16)},
        {"nul-bytes", std::string(kNulBytes, sizeof kNulBytes - 1)},
        {"token-1mb", repeat("x", 1 << 20) + " Sphere 1\n"},
        {"number-100k-digits", "Cube " + digits + " " + digits + ".5 -0." + repeat("0", 100000) +
                                   "1\n" + "Translation " + digits + " 1e-" + digits + " 0x" +
                                   digits + "p-9\n"},
        {"nesting-2000",
         repeat("Push\n", 2000) + "Pointlight 0 0 5 1 1 1 1\nCube 1 2 3\n" + repeat("Pop\n", 2000)},
        {"pop-10000", repeat("Pop\n", 10000) + "Material 1 0 0 0 0 0 0 0 0 0 0 0 1\nSphere 1\n"},
        {"lights-100",
         repeat("Pointlight 0 5 5 1 1 1 1\nDirlight 0 -1 0 1 1 1 1\n", 50) + "Cube 2 2 2\n"},
        {"nan-and-infinity",
         "Cube nan inf -inf\nSphere NaN\nCylindre -nan infinity\nCone inf nan\n"
         "Translation nan 0 0\nRotation nan 0 1 0\nRotation inf 1 0 0\nRotation 90 nan nan nan\n"
         "Zoom inf -inf nan\nMaterial nan inf 0 -inf 0 0 nan nan nan inf inf inf nan\n"
         "Pointlight nan 0 0 inf nan 1 1\nDirlight 0 0 nan 1 inf inf inf\n"
         "Spotlight 0 5 0 0 -1 0 1 1 1 1 nan\nSpotlight 0 5 0 0 -1 0 1 1 1 1 inf\nCube 1 1 1\n"},
        {"coordinates-1e308",
         "Translation 1e308 -1e308 1e308\nCube 1e308 1e308 1e308\nSphere 1e308\nCylindre 1e308 "
         "-1e308\n"
         "Cone 1e308 1e308\nZoom 1e308 1e308 1e308\nRotation 1e308 1e308 0 0\n"
         "Pointlight 1e308 1e308 1e308 1e308 1 1 1\nSpotlight 1e308 0 0 0 -1e308 0 1 1 1 1 1e308\n"
         "Cube -1e308 4.9e-324 1e-308\n"},
    };
}

}  // namespace

const std::vector<HostileScene>& hostileScenes() {
    static const std::vector<HostileScene> scenes = build();
    return scenes;
}
