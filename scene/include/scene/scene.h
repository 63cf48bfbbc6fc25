// The scene language: keywords, statements and the reading loop that every
// mode (screen, VRML, C++ source) runs over a scene file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/fixed.h"

enum class StatementKind : int {
    Unrecognised = 0,
    Cube = 1,
    Sphere = 2,
    Cylindre = 3,
    Cone = 4,
    Translation = 5,
    Rotation = 6,
    Zoom = 7,
    Push = 8,
    Pop = 9,
    Material = 10,
    Pointlight = 11,
    Dirlight = 12,
    Spotlight = 13,
};

// Keyword text to kind; exact and case-sensitive, Unrecognised otherwise.
// The token is compared as a C string, as strcmp would.
StatementKind lookupKeyword(const char* token);
const char* keywordText(StatementKind kind);
std::size_t keywordLength(StatementKind kind);
int keywordNumberCount(StatementKind kind);  // the numbers a statement takes

// How a mode reads numbers: Mixed reads the four shapes' numbers in double
// precision and every other number in single precision; Double reads all in
// double precision.
enum class NumberPrecision { Mixed, Double };

constexpr int kMaxNumbers = 13;

// One statement with its numbers in file order. A number read in single
// precision is held as that float widened; a number that could not be read
// is 0, and so is one that is not finite in the precision it was read in
// (nan, inf, or 1e39 read as a float): no GL call, VRML reader or compiler
// takes those. Each number is also kept as "%f" writes it as read, for the
// echo, since every mode writes it at least once and most twice.
struct SceneStatement {
    StatementKind kind;
    int count;           // numbers the keyword takes
    int numbersRead;     // of those, how many were converted
    unsigned nonFinite;  // bit n: number n was read as nan or inf, its value is 0
    double values[kMaxNumbers];
    FixedText texts[kMaxNumbers];
};

enum class SceneOpen { Opened, Missing, Unreadable };

// A scene file, or a copy of one held in memory. A scene that cannot be
// opened is reported on the console by reportUnopenedScene. A UTF-8
// byte-order mark at its very start is skipped; columns count from after it.
SceneOpen openScene(const char* path);
void openSceneMemory(const void* data, std::size_t size);
// A piece of a scene that does not start it, read as it stands.
void openScenePiece(const void* data, std::size_t size);
// The next statement; false at the end of the scene. An unrecognised token is
// a statement of kind Unrecognised with no numbers.
bool nextStatement(SceneStatement& statement, NumberPrecision precision);
bool sceneReadFailed();  // a read error, not the end, stopped the reading
void closeScene();

// For a reading shared out between threads: the open scene file's size
// (-1 unless a regular file); its descriptor handed to the caller with the
// bytes read from it and not taken yet (valid until the next reading on this
// thread), which closes the reading (-1 for a scene in memory); a reading
// that takes `held` first and then reads on from `fd`, left open at the end.
std::int64_t openSceneSize();
int handOverScene(const unsigned char*& held, std::size_t& length);
void openSceneDescriptor(int fd, const void* held, std::size_t length);
// Line breaks in what the reading took so far, and the offset of the first
// byte after the last of them (0 with none).
std::uint64_t sceneLinesTaken(std::uint64_t& lastLineStart);

// "<path> n'existe pas!!!" for a missing scene, "<path> n'est pas lisible!!!"
// for one that is there but cannot be read (a directory, a read error).
void reportUnopenedScene(SceneOpen result, const char* path);
