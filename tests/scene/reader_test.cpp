// The reading loop: keywords, how numbers are grouped into reads, precision,
// and the echo of each statement.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "scene/scene.h"
#include "scene/echo.h"

namespace {

std::vector<SceneStatement> readAll(const std::string& text,
                                    NumberPrecision precision = NumberPrecision::Mixed) {
    openSceneMemory(text.data(), text.size());
    std::vector<SceneStatement> statements;
    SceneStatement s;
    while (nextStatement(s, precision)) statements.push_back(s);
    closeScene();
    return statements;
}

// The echo lines a mode writes for `text`.
std::string echoOf(const std::string& text, NumberPrecision precision = NumberPrecision::Mixed) {
    std::FILE* file = std::tmpfile();
    static TextOut out;
    textOpen(out, file);
    for (const SceneStatement& s : readAll(text, precision)) {
        if (s.kind != StatementKind::Unrecognised) textPutEcho(out, s);
        textPutChar(out, '\n');
    }
    textFlush(out);
    std::string result(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    if (std::fread(result.data(), 1, result.size(), file) != result.size()) result.clear();
    std::fclose(file);
    return result;
}

}  // namespace

TEST(Keywords, ExactCaseSensitiveAndInTableOrder) {
    const char* words[] = {"Cube",       "Sphere",   "Cylindre", "Cone", "Translation",
                           "Rotation",   "Zoom",     "Push",     "Pop",  "Material",
                           "Pointlight", "Dirlight", "Spotlight"};
    for (int k = 0; k < 13; ++k) EXPECT_EQ(static_cast<int>(lookupKeyword(words[k])), k + 1);
    for (const char* w : {"cube", "CUBE", "Cylinder", "Cub", "Cubes", "", "Scale", "PointLight"})
        EXPECT_EQ(lookupKeyword(w), StatementKind::Unrecognised) << w;
}

TEST(Reading, EmptyAndBlankScenesHaveNoStatement) {
    EXPECT_TRUE(readAll("").empty());
    EXPECT_TRUE(readAll(" \n\t\r\n\v\f  ").empty());
    EXPECT_EQ(echoOf("   \n\n"), "");
}

TEST(Reading, LayoutOfLinesCarriesNoMeaning) {
    EXPECT_EQ(echoOf("Cube 1 2 3"), "Cube 1.000000 2.000000 3.000000\n");
    EXPECT_EQ(echoOf("Cube\n1\n2\n3\n"), "Cube 1.000000 2.000000 3.000000\n");
    EXPECT_EQ(echoOf("Cube 1 2 3\nSphere 4"), echoOf("Cube 1 2 3\nSphere 4\n"));
}

TEST(Reading, UnrecognisedTokensGiveEmptyLines) {
    EXPECT_EQ(echoOf("cube 1 2 3"), "\n\n\n\n");
    EXPECT_EQ(echoOf("Sphere 1 7 Sphere 2"), "Sphere 1.000000\n\nSphere 2.000000\n");
}

TEST(Reading, ShapesReadInDoubleOtherNumbersInSingle) {
    EXPECT_EQ(echoOf("Translation 16777217 0 0"),
              "Translation 16777216.000000 0.000000 0.000000\n");
    EXPECT_EQ(echoOf("Cube 16777217 1 1"), "Cube 16777217.000000 1.000000 1.000000\n");
    EXPECT_EQ(echoOf("Translation 16777217 0 0", NumberPrecision::Double),
              "Translation 16777217.000000 0.000000 0.000000\n");
    EXPECT_EQ(echoOf("Zoom 1234.5678 1 1"), "Zoom 1234.567749 1.000000 1.000000\n");
}

TEST(Reading, SpotlightEchoesCutOffBeforeColour) {
    EXPECT_EQ(echoOf("Spotlight 0 5 0 0 -1 0 1 1 1 1 30"),
              "Spotlight 0.000000 5.000000 0.000000 0.000000 -1.000000 0.000000 1.000000 "
              "30.000000 1.000000 1.000000 1.000000\n");
}

TEST(Reading, MaterialEchoesInFileOrder) {
    EXPECT_EQ(echoOf("Material 1 0 0 0.2 0.2 0.2 1 1 1 0 0 0 50"),
              "Material 1.000000 0.000000 0.000000 0.200000 0.200000 0.200000 1.000000 "
              "1.000000 1.000000 0.000000 0.000000 0.000000 50.000000\n");
}

TEST(Reading, FailedNumberEndsItsGroupOnly) {
    // "-" fails the second group of Material; the third group reads on.
    auto s = readAll("Material 1 2 3 4 - 6 7 8 9 10 11 12 13");
    ASSERT_GE(s.size(), 1u);
    EXPECT_EQ(s[0].kind, StatementKind::Material);
    const double expected[13] = {1, 2, 3, 4, 0, 0, 6, 7, 8, 9, 10, 11, 12};
    for (int i = 0; i < 13; ++i) EXPECT_EQ(s[0].values[i], expected[i]) << i;
    EXPECT_EQ(s[0].numbersRead, 11);
    // The statement after keeps going from "13".
    EXPECT_EQ(s[1].kind, StatementKind::Unrecognised);
}

TEST(Reading, WordWhereNumberExpectedIsReadNext) {
    auto s = readAll("Cube 1 Sphere 2");
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].kind, StatementKind::Cube);
    EXPECT_EQ(s[0].values[0], 1.0);
    EXPECT_EQ(s[0].values[1], 0.0);
    EXPECT_EQ(s[0].numbersRead, 1);
    EXPECT_EQ(s[1].kind, StatementKind::Sphere);
    EXPECT_EQ(s[1].values[0], 2.0);
}

TEST(Reading, StatementCutShortByEndIsStillRead) {
    auto s = readAll("Rotation 90 0");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].numbersRead, 2);
    EXPECT_EQ(echoOf("Rotation 90 0"), "Rotation 90.000000 0.000000 0.000000 0.000000\n");
}

TEST(Reading, LongTokensAreOneUnrecognisedToken) {
    const std::string longCube = "Cube" + std::string(200, 'x');
    EXPECT_EQ(echoOf(longCube + " 1"), "\n\n");
    const std::string hundred(100, 'a');
    EXPECT_EQ(echoOf(hundred), "\n");
    EXPECT_EQ(echoOf(std::string(1 << 20, 'z') + " Sphere 1"), "\nSphere 1.000000\n");
}

TEST(Reading, NulByteEndsTheKeywordAsInCStrings) {
    const std::string text("Sphere\0junk 2", 13);
    EXPECT_EQ(echoOf(text), "Sphere 2.000000\n");
}

TEST(Reading, MissingAndUnreadableFiles) {
    EXPECT_EQ(openScene("/nonexistent/scene.scn"), SceneOpen::Missing);
    EXPECT_EQ(openScene(::testing::TempDir().c_str()), SceneOpen::Unreadable);
    closeScene();
}

TEST(Reading, FileReadAcrossBlockBoundaries) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "Cube 1.25 2.5 -3.75\n";
    const std::string path = ::testing::TempDir() + "mirovan-reader-blocks.scn";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
    std::fclose(file);
    ASSERT_EQ(openScene(path.c_str()), SceneOpen::Opened);
    SceneStatement s;
    int count = 0;
    while (nextStatement(s, NumberPrecision::Mixed)) {
        ASSERT_EQ(s.kind, StatementKind::Cube);
        ASSERT_EQ(s.values[2], -3.75);
        ++count;
    }
    EXPECT_FALSE(sceneReadFailed());
    closeScene();
    std::remove(path.c_str());
    EXPECT_EQ(count, 20000);
}

// Every number's text is what printf("%f") writes for its value, whichever
// way the reader produced it.
TEST(Reading, NumberTextsMatchPrintf) {
    std::mt19937 random(5);
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        char number[64];
        const int decimals = static_cast<int>(random() % 9);
        const double magnitude = std::ldexp(1.0, static_cast<int>(random() % 40) - 8);
        const double value = (static_cast<double>(random()) / 4294967296.0 - 0.5) * magnitude;
        std::snprintf(number, sizeof number, "%.*f", decimals, value);
        text +=
            (i % 2 ? "Cube " : "Zoom ") + std::string(number) + " " + number + " -" + number + "\n";
    }
    for (NumberPrecision precision : {NumberPrecision::Mixed, NumberPrecision::Double}) {
        for (const SceneStatement& s : readAll(text, precision)) {
            for (int n = 0; n < s.count; ++n) {
                char expected[400];
                std::snprintf(expected, sizeof expected, "%f", s.values[n]);
                ASSERT_EQ(std::string(s.texts[n].text, s.texts[n].length), expected);
            }
        }
    }
}
