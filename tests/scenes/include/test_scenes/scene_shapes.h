// Generated scenes of the shapes real scenes take, from fixed seeds: the
// benchmark times the translators on them and the differential test
// compares the translators' files with the plain translation's.
#pragma once

#include <cstddef>
#include <string>

enum class SceneShape {
    Mixed,         // every kind, brackets up to 30 deep, up to three decimals
    Flat,          // no brackets at all
    Nested,        // brackets 20 to 40 deep: long indentation on every line
    NumberHeavy,   // mostly Material and Spotlight
    ShortNumbers,  // 0, 1, -1, 0.5: one or two characters a number
    LongNumbers,   // up to 17 significant digits, some with exponents
    Unrecognised,  // one statement in ten a word no mode knows
    GluedPush,     // the mixed scene after "Sphere 1Push"
    Deep,          // Pushes, one Cube, as many Pops: lines of up to 999 blanks, 200-600x the scene
};

// The shapes real scenes take, Mixed to GluedPush; Deep comes after them and
// only the translation benchmark times it.
constexpr int kSceneShapeCount = 8;
constexpr int kBenchShapeCount = 9;
const char* sceneShapeName(SceneShape shape);

// A scene of the shape, `bytes` long give or take a line (the deep one at
// most 3.6 MB: 400,000 Pushes), always the same text for the same shape and
// size.
std::string generateScene(SceneShape shape, std::size_t bytes);
// The same into a file; false if it cannot be written.
bool writeScene(SceneShape shape, std::size_t bytes, const char* path);
// The first `count` statements (lines) of a scene of the shape.
std::string firstStatements(SceneShape shape, std::size_t count);
