// Words that are not keywords and numbers that cannot be read, reported on
// standard error with their line and column, by both translators, on one
// thread or several; the echo, the files and the status as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "scene_baseline/plain_translator.h"
#include "test_scenes/scene_shapes.h"
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

// Standard error of each mode on `text`, for scenes the plain translation
// reads otherwise: words over 99 bytes, a byte-order mark.
std::string reportsAlone(const std::string& scene, const std::string& text) {
    writeFile(scene, text);
    std::string reports;
    for (const Mode& mode : kModes) {
        const RunResult r = runProgram({MIROVAN_BINARY, mode.flag, scene, scene + ".out"});
        EXPECT_EQ(r.status, 0) << mode.flag;
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

// A number longer than the reader holds at once, reported alike wherever
// the end of the first 64 KiB falls in it: before its first digit, at it,
// within it, at its last digit, at the letter after it, and after it.
TEST(Reports, LongNumberWhereverABlockEnds) {
    const std::string s = scratchDirectory() + "/long.scn";
    std::string head;
    while (head.size() < (64u << 10) - 3100) head += "Sphere 1\n";
    const std::size_t line = head.size() / 9 + 1;
    const std::string number = std::string(3000, '0') + "1x";
    // The pad in front of the line that puts the block's end at its first digit.
    const long firstDigit = static_cast<long>((64u << 10) - head.size() - 16);
    for (const long before : {-1, 0, 1, 1500, 2999, 3000, 3001, 3002}) {
        const auto pad = static_cast<std::size_t>(firstDigit - before);
        const std::string expected =
            s + ":" + std::to_string(line) + ":" + std::to_string(pad + 17) + ": « " +
            std::string(99, '0') + "… » n'est pas un nombre, lu comme 1\n" + s + ":" +
            std::to_string(line) + ":" + std::to_string(pad + 3020) + ": mot inconnu « Foo »\n";
        EXPECT_EQ(reportsOf(s, head + std::string(pad, ' ') + "Translation 1 1 " + number +
                                   " Foo\nCube 1 2 3\n"),
                  expected)
            << "the block ends " << before << " bytes into the number";
    }
}

// The word as quoted: never two identical lines, never a UTF-8 character
// cut in two, a NUL byte shown.
TEST(Reports, QuotedWordsAndMissingNumbersOnce) {
    const std::string s = scratchDirectory() + "/nits.scn";
    EXPECT_EQ(reportsOf(s, "Cube 1 2 3\nSpotlight 1 2"),
              s + ":2:14: nombre manquant à la fin, lu comme 0\n");
    EXPECT_EQ(reportsOf(s, "Spotlight 1 2\nCube 1 2 3\n"),
              s + ":2:1: nombre manquant avant « Cube », lu comme 0\n");
    std::string accents;
    for (int k = 0; k < 60; ++k) accents += "é";  // 2 bytes each: the 50th is cut
    std::string kept;
    for (int k = 0; k < 49; ++k) kept += "é";
    EXPECT_EQ(reportsAlone(s, "Sphere " + accents + "\nZ" + accents + " 1\n"),
              s + ":1:8: « " + kept + "… » n'est pas un nombre, lu comme 0\n" + s +
                  ":2:1: mot inconnu « Z" + kept + "… »\n");
    EXPECT_EQ(reportsOf(s, std::string("Cube 1 a\0b 3\nPus\0h Pop\n", 23)),
              s + ":1:8: « a\\0b » n'est pas un nombre, lu comme 0\n" + s +
                  ":2:1: mot inconnu « Pus\\0h »\n");
}

// Each mode reads a scene that starts with a UTF-8 byte-order mark as the
// same scene without it: the same outputs, echo and reports, columns
// counted from after the mark. Large enough for two threads too.
TEST(Reports, ByteOrderMarkInFrontOfTheScene) {
    const std::string dir = scratchDirectory();
    const std::string s = dir + "/marked.scn";
    const std::string small = "Material 1 0 0 1 0 0 0 0 0 0 0 0 5 Sphere x\nCube 1 1 1\n";
    std::string large = "Sphere 1 Cube 1 2,5 3\n";
    while (large.size() < (3u << 20)) large += "Cube 1 2 3 Push Translation 1 2 3 Pop\n";
    const struct {
        const std::string& text;
        std::vector<const char*> flags;
    } kRuns[] = {{small, {"-vrml", "-opengl", "-html", "-gltf"}}, {large, {"-vrml", "-opengl"}}};
    for (const auto& run : kRuns) {
        for (const char* flag : run.flags) {
            writeFile(s, run.text);
            const RunResult plain = runProgram({MIROVAN_BINARY, flag, s, dir + "/out"});
            const std::string plainOut = readFile(dir + "/out");
            writeFile(s, "\xEF\xBB\xBF" + run.text);
            const RunResult marked = runProgram({MIROVAN_BINARY, flag, s, dir + "/out"});
            EXPECT_EQ(marked.status, 0) << flag;
            EXPECT_TRUE(marked.out == plain.out) << flag << marked.out.substr(0, 200);
            EXPECT_EQ(marked.err, plain.err) << flag;
            EXPECT_TRUE(readFile(dir + "/out") == plainOut) << flag;
            EXPECT_EQ(marked.err.rfind(s + ":1:", 0), 0u) << flag << marked.err;
        }
    }
    // The snapshot's picture too.
    writeFile(s, small);
    const RunResult plain = runProgram({MIROVAN_SNAPSHOT, s, dir + "/plain.png"});
    writeFile(s, "\xEF\xBB\xBF" + small);
    const RunResult marked = runProgram({MIROVAN_SNAPSHOT, s, dir + "/marked.png"});
    EXPECT_EQ(plain.status, 0) << plain.out << plain.err;
    EXPECT_EQ(marked.out, plain.out);
    EXPECT_EQ(marked.err, plain.err);
    const std::string picture = readFile(dir + "/plain.png");
    EXPECT_GT(picture.size(), 100u);
    EXPECT_TRUE(readFile(dir + "/marked.png") == picture);
    EXPECT_EQ(reportsAlone(s,
                           "\xEF\xBB\xBF"
                           "Cube 1 x 3\n"),
              s + ":1:8: « x » n'est pas un nombre, lu comme 0\n");
}

// On two threads, a fault on the first line of a later segment stands on a
// line that started in an earlier one: its column counts every segment's
// bytes of that line.
TEST(Reports, FaultsOnLongLinesAcrossSegments) {
    if (allowedCores() < 2) GTEST_SKIP() << "one core: every translation is on one thread";
    const std::string s = scratchDirectory() + "/lines.scn";
    std::string text = "Sphere 1\n";
    std::size_t column = 0;
    for (int line = 0; line < 3; ++line) {
        // One line of 600 KB with a fault in every 90 KB of it.
        std::string longLine;
        for (std::size_t next = 1000; longLine.size() < 600000;) {
            longLine += "Cube 1 2 3 Push Translation 1 2 3 Pop ";
            if (longLine.size() >= next) {
                if (line == 0 && column == 0) column = longLine.size() + 1;
                longLine += "Cube 1 2,5 3 ";
                next += 90000;
            }
        }
        text += longLine + "\n";
    }
    const std::string several = reportsOf(s, text);
    std::string one;
    {
        OneCore pinned;
        one = reportsOf(s, text);
    }
    EXPECT_EQ(several.rfind(s + ":2:" + std::to_string(column + 7) + ": « 2,5 » n'est pas", 0), 0u)
        << several.substr(0, 200);
    EXPECT_EQ(std::count(several.begin(), several.end(), '\n'), 21) << several;
    EXPECT_EQ(several, one);
}
