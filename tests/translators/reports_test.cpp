// Words that are not keywords and numbers that cannot be read, reported on
// standard error with their line and column, by both translators, on one
// thread or several; the echo, the files and the status as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "scene_baseline/plain_translator.h"
#include "scene_baseline/scene_shapes.h"
#include "common/run.h"
#include "one_core.h"

namespace {

struct Mode {
    const char* flag;
    PlainMode plain;
};
const Mode kModes[] = {{"-vrml", PlainMode::Vrml}, {"-opengl", PlainMode::Source}};

// Standard error of each mode on `text`, checking that the files and the
// echo are the plain translation's and the status 0.
std::string reportsOf(const std::string& scene, const std::string& text) {
    writeFile(scene, text);
    std::string reports;
    for (const Mode& mode : kModes) {
        const std::string out = scene + ".out", plain = scene + ".plain";
        std::FILE* echo = std::fopen((scene + ".echo").c_str(), "w");
        EXPECT_TRUE(echo && plainTranslate(mode.plain, scene.c_str(), plain.c_str(), echo));
        if (echo) std::fclose(echo);
        const RunResult r = runProgram({MIROVAN_BINARY, mode.flag, scene, out});
        EXPECT_EQ(r.status, 0) << mode.flag;
        EXPECT_TRUE(readFile(out) == readFile(plain)) << mode.flag;
        EXPECT_TRUE(r.out.substr(r.out.find('\n') + 1) == readFile(scene + ".echo")) << mode.flag;
        if (&mode != &kModes[0]) {
            EXPECT_EQ(r.err, reports) << mode.flag << " reports otherwise";
        }
        reports = r.err;
    }
    return reports;
}

}  // namespace

TEST(Reports, WordAndPlaceOfEachFault) {
    const std::string s = scratchDirectory() + "/robot.scn";
    // A misspelt keyword with its number; a decimal comma; a tab, then CR LF
    // line ends; letters for a number; a statement short of a number; a word
    // at the end with no line break after it.
    EXPECT_EQ(reportsOf(s,
                        "Sphre 3\n"
                        "Cube 1 1,5 2\n"
                        "\tFoo 2\r\n"
                        "Sphere abc\r\n"
                        "Cube 1 2\n"
                        "Sphere 1\n"
                        "Cone 2 x\n"
                        "Sphere 1 Spher"),
              s + ":1:1: mot inconnu « Sphre »\n" +                             //
                  s + ":2:8: « 1,5 » n'est pas un nombre, lu comme 1\n" +       //
                  s + ":3:2: mot inconnu « Foo »\n" +                           //
                  s + ":4:8: « abc » n'est pas un nombre, lu comme 0\n" +       //
                  s + ":6:1: nombre manquant avant « Sphere », lu comme 0\n" +  //
                  s + ":7:8: « x » n'est pas un nombre, lu comme 0\n" +         //
                  s + ":8:10: mot inconnu « Spher »\n");
    EXPECT_EQ(reportsOf(s, "Push\n  Cube 1 2"),
              s + ":2:11: nombre manquant à la fin, lu comme 0\n");
    EXPECT_EQ(reportsOf(s, "Sphere 0.5\nCube 1 2 3\n"), "");
}

TEST(Reports, TwentyThenTheCountOfTheRest) {
    const std::string s = scratchDirectory() + "/many.scn";
    std::string text, expected;
    for (int k = 1; k <= 45; ++k) {
        text += "Sphere 1\nSpere 2\n";
        if (k <= 20) expected += s + ":" + std::to_string(2 * k) + ":1: mot inconnu « Spere »\n";
    }
    EXPECT_EQ(reportsOf(s, text), expected + s + ": 25 autres erreurs\n");
    EXPECT_EQ(reportsOf(s, text.substr(0, 21 * 17)), expected + s + ": 1 autre erreur\n");
}

// On several threads the reports come in the scene's order, placed in the
// whole scene, capped as on one.
TEST(Reports, SameOnSeveralThreadsAsOnOne) {
    if (allowedCores() < 2) GTEST_SKIP() << "one core: every translation is on one thread";
    const std::string s = scratchDirectory() + "/large.scn";
    const std::string mixed = generateScene(SceneShape::Mixed, 3u << 20);
    std::string text;
    std::size_t line = 1, first = 0;
    for (std::size_t at = 0, next = 0; at < mixed.size();) {
        const std::size_t end = mixed.find('\n', at) + 1;
        text.append(mixed, at, end - at);
        ++line;
        at = end;
        if (at >= next && at < mixed.size()) {
            text += "  Cube 1 2,5 3\n";  // one in each stretch of 100 KB
            if (first == 0) first = line;
            ++line;
            next = at + 100000;
        }
    }
    const std::string several = reportsOf(s, text);
    std::string one;
    {
        OneCore pinned;
        one = reportsOf(s, text);
    }
    EXPECT_EQ(several.rfind(s + ":" + std::to_string(first) + ":10: « 2,5 » n'est pas", 0), 0u)
        << several.substr(0, 200);
    EXPECT_NE(several.find(s + ": 12 autres erreurs\n"), std::string::npos) << several;
    EXPECT_EQ(several, one);

    // After a stretch with no keyword to cut at, read on in order.
    std::string stretch = generateScene(SceneShape::Mixed, 3u << 19);
    while (stretch.size() < (2u << 20)) stretch += "Box 1 2 3 cube -0.5\n";
    const std::string afterStretch = reportsOf(s, stretch + "Cube 1 x 3\n");
    {
        OneCore pinned;
        EXPECT_EQ(afterStretch, reportsOf(s, stretch + "Cube 1 x 3\n"));
    }
    EXPECT_EQ(
        afterStretch.rfind(
            s + ":" +
                std::to_string(std::count(stretch.begin(), stretch.begin() + (3u << 19), '\n') + 2),
            0),
        0u)
        << afterStretch.substr(0, 200);
}

// A statement short of a number just before a segment's end: the number is
// missing before the keyword that starts the next segment.
TEST(Reports, NumberMissingWhereTheSceneIsCut) {
    if (allowedCores() < 2) GTEST_SKIP() << "one core: every translation is on one thread";
    const std::string s = scratchDirectory() + "/cut.scn";
    std::string text;
    while (text.size() < (128u << 10) - 30) text += "Cube 1 2 3\n";
    text += "Cube 1 2\n";
    const std::size_t line =
        1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    text.append((128u << 10) - 10 - text.size(), ' ');
    const std::size_t column = text.size() - text.rfind('\n');  // of the Sphere
    text += "Sphere 1\n" + generateScene(SceneShape::Mixed, 2u << 20);
    const std::string expected = s + ":" + std::to_string(line) + ":" + std::to_string(column) +
                                 ": nombre manquant avant « Sphere », lu comme 0\n";
    EXPECT_EQ(reportsOf(s, text), expected);
    OneCore pinned;
    EXPECT_EQ(reportsOf(s, text), expected);
}
