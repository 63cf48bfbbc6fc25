// The reader's reports, and the statements around them, are the same
// wherever the file's blocks happen to fall: a file is read against the same
// text held whole in memory, with a long word at every offset around the
// end of the first block.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <unistd.h>

#include "scene/echo.h"
#include "scene/reports.h"
#include "scene/scene.h"

namespace {

constexpr std::size_t kBlock = 64 << 10;  // what the reader takes from a file at once

const char* kindName(ReportKind kind) {
    switch (kind) {
        case ReportKind::UnknownWord: return "unknown";
        case ReportKind::NotANumber: return "not a number";
        case ReportKind::MissingBefore: return "missing before";
        case ReportKind::MissingAtEnd: return "missing at end";
    }
    return "?";
}

void toString(void* sink, const char* data, std::size_t size) {
    static_cast<std::string*>(sink)->append(data, size);
}

// The echo of the open scene, then one line per report kept and the count.
std::string readOpened() {
    std::string text;
    static TextOut echo;
    textOpenDrain(echo, toString, &text);
    SceneStatement statement;
    while (nextStatement(statement, NumberPrecision::Mixed)) {
        if (statement.kind != StatementKind::Unrecognised) textPutEcho(echo, statement);
        textPutChar(echo, '\n');
    }
    textFlush(echo);
    const SceneReports& reports = sceneReports();
    for (int k = 0; k < reports.kept; ++k) {
        const SceneReport& r = reports.shown[k];
        char line[300];
        std::snprintf(line, sizeof line, "%llu:%llu %s \"%.*s\"%s %g\n",
                      static_cast<unsigned long long>(r.line + 1),
                      static_cast<unsigned long long>(r.column + 1), kindName(r.kind),
                      static_cast<int>(r.wordLength), r.word, r.wordCut ? "..." : "",
                      r.kind == ReportKind::NotANumber ? r.value : 0.0);
        text += line;
    }
    text += std::to_string(reports.count) + " reports\n";
    closeScene();
    return text;
}

std::string readMemory(const std::string& scene) {
    openSceneMemory(scene.data(), scene.size());
    return readOpened();
}

std::string readThroughFile(const std::string& scene) {
    const std::string path = ::testing::TempDir() + "/reports_test.scn";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(scene.data(), 1, scene.size(), file) != scene.size())
        ADD_FAILURE() << "cannot write " << path;
    if (file) std::fclose(file);
    if (openScene(path.c_str()) != SceneOpen::Opened) return "not opened";
    return readOpened();
}

// The scene read as a file whose first read gives `cut` bytes and the
// second all the rest: the reader's block ends after the first `cut`.
std::string readInTwoBlocks(const std::string& scene, std::size_t cut) {
    int ends[2];
    if (::pipe(ends) != 0) return "no pipe";
    const std::size_t rest = scene.size() - cut;  // fits the pipe
    const bool written = ::write(ends[1], scene.data() + cut, rest) == static_cast<ssize_t>(rest);
    ::close(ends[1]);
    openSceneDescriptor(ends[0], scene.data(), cut);
    const std::string text = written ? readOpened() : "not written";
    ::close(ends[0]);
    return text;
}

// Lines of "Sphere 1" up to about `size` bytes.
std::string spheres(std::size_t size) {
    std::string text;
    while (text.size() + 9 <= size) text += "Sphere 1\n";
    return text;
}

}  // namespace

// What the whole text in memory reports, literally, for the words the
// boundary test moves.
TEST(ReaderReports, LongWordsInOnePiece) {
    const std::string zeros99(99, '0');
    EXPECT_EQ(readMemory("Translation 1 1 " + std::string(3000, '0') + "1x Foo\nCube 1 2 3\n"),
              "Translation 1.000000 1.000000 1.000000\n\n\nCube 1.000000 2.000000 3.000000\n"
              "1:17 not a number \"" +
                  zeros99 + "\"... 1\n1:3020 unknown \"Foo\" 0\n2 reports\n");
    EXPECT_EQ(readMemory(std::string(3000, 'Q') + " Cube 1 2 3 Foo\n"),
              "\nCube 1.000000 2.000000 3.000000\n\n1:1 unknown \"" + std::string(99, 'Q') +
                  "\"... 0\n1:3013 unknown \"Foo\" 0\n2 reports\n");
    // A number whose rest is longer than a block.
    EXPECT_EQ(readMemory("Sphere 2" + std::string(100000, 'x') + " Foo 3\n"),
              "Sphere 2.000000\n\n\n\n1:8 not a number \"2" + std::string(98, 'x') +
                  "\"... 2\n1:100010 unknown \"Foo\" 0\n2 reports\n");
}

TEST(ReaderReports, SameWhereverABlockEnds) {
    const std::string words[] = {
        // a number longer than the reader keeps, then letters
        "Translation 1 1 " + std::string(3000, '0') + "1x Foo\nCube 1 2 3\n",
        // a number, then a tail of letters
        "Sphere 2" + std::string(3000, 'x') + " Foo 3\nCube 1 2 3\n",
        // a word that is no keyword
        std::string(3000, 'Q') + " Cube 1 2 3 Foo\n",
        // letters where a number is read
        "Cone 1 " + std::string(3000, 'y') + " 4 Foo\n",
    };
    for (const std::string& word : words) {
        const std::string scene = "Sphere 1\nSphere 1\n  " + word + "Sphere 5\n";
        const std::string expected = readMemory(scene);
        for (std::size_t cut = 1; cut < scene.size(); ++cut)
            ASSERT_EQ(readInTwoBlocks(scene, cut), expected)
                << "first block of " << cut << " bytes";
    }
    // The same through a file, with its first block's end at the number's
    // first digit, within it, at its last digit, its letter and after it.
    const std::string head = spheres(kBlock - 3100);
    for (const std::size_t pad : {85, 86, 87, 88, 1587, 3086, 3087, 3088}) {
        const std::string scene = head + std::string(pad, ' ') + words[0] + "Sphere 5\n";
        ASSERT_TRUE(readThroughFile(scene) == readMemory(scene)) << "pad " << pad;
    }
}

// A number word longer than a whole block reads as it does in memory.
TEST(ReaderReports, WordLongerThanABlock) {
    for (const std::string& prefix : {std::string(), spheres(kBlock - 20)}) {
        const std::string scene =
            prefix + "Translation 1 1 " + std::string(3 * kBlock, '0') + "1x Foo\nCube 1 2 3\n";
        const std::string read = readThroughFile(scene);
        EXPECT_TRUE(read == readMemory(scene)) << "read otherwise after " << prefix.size();
        EXPECT_NE(read.find(" not a number \"" + std::string(99, '0') + "\"... 1\n"),
                  std::string::npos)
            << read.substr(read.size() - std::min<std::size_t>(read.size(), 300));
    }
}

// A statement short of several groups of numbers says so once.
TEST(ReaderReports, MissingNumbersOnce) {
    EXPECT_EQ(readMemory("Spotlight 1 2"),
              "Spotlight 1.000000 2.000000 0.000000 0.000000 0.000000 0.000000 0.000000 "
              "0.000000 0.000000 0.000000 0.000000\n1:14 missing at end \"\" 0\n1 reports\n");
    EXPECT_EQ(readMemory("Material 1\nCube 1 2 3\n"),
              "Material 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 "
              "0.000000 0.000000 0.000000 0.000000 0.000000\nCube 1.000000 2.000000 3.000000\n"
              "2:1 missing before \"Cube\" 0\n1 reports\n");
}

// Notepad's byte-order mark in front of a scene: the first statement is
// read, and columns count from after the mark.
TEST(ReaderReports, ByteOrderMarkAtTheStart) {
    const std::string text = "Cube 1 x 3\nSphere 2\n";
    const std::string plain = readMemory(text);
    EXPECT_EQ(plain,
              "Cube 1.000000 0.000000 0.000000\n\n\nSphere 2.000000\n1:8 not a number \"x\" 0\n"
              "1 reports\n");
    EXPECT_EQ(readMemory("\xEF\xBB\xBF" + text), plain);
    EXPECT_EQ(readThroughFile("\xEF\xBB\xBF" + text), plain);
    const std::string large = spheres(3 * kBlock) + text;
    EXPECT_TRUE(readThroughFile("\xEF\xBB\xBF" + large) == readMemory(large));
    // Only at the very start, and only once.
    EXPECT_EQ(readMemory(" \xEF\xBB\xBF" + text).substr(0, 1), "\n");
    EXPECT_EQ(readMemory("\xEF\xBB\xBF\xEF\xBB\xBF" + text).substr(0, 1), "\n");
    EXPECT_EQ(readMemory("\xEF\xBB"), "\n1:1 unknown \"\xEF\xBB\" 0\n1 reports\n");  // a word
    // A piece cut from within a scene is read as it stands.
    const std::string marked = "\xEF\xBB\xBF" + text;
    openScenePiece(marked.data(), marked.size());
    EXPECT_EQ(readOpened().substr(0, 1), "\n");
}
