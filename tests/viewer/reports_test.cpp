// Screen mode reads the scene on every frame but reports its faults once
// for each version of the file.
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "common/run.h"
#include "viewer/viewer_fixture.h"

class ReportsTest : public ViewerTest {
protected:
    // Standard error while `count` frames are drawn.
    std::string reportsOfFrames(int count) {
        std::fflush(stderr);
        char path[] = "/tmp/mirovan-stderr-XXXXXX";
        const int fd = ::mkstemp(path);
        const int saved = ::dup(2);
        ::dup2(fd, 2);
        frames(count);
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
        ::close(fd);
        const std::string text = readFile(path);
        ::unlink(path);
        return text;
    }
};

TEST_F(ReportsTest, OncePerVersionOfTheScene) {
    const std::string report = scenePath + ":2:1: mot inconnu « Sphre »\n";
    useScene("Sphere 2\nSphre 3\n");
    EXPECT_EQ(reportsOfFrames(12), report);
    EXPECT_EQ(reportsOfFrames(5), "");
    useScene("Sphere 4\nSphre 3\n");  // edited: the same fault, told again
    EXPECT_EQ(reportsOfFrames(5), report);
    useScene("Sphere 4\nSphere 3\n");
    EXPECT_EQ(reportsOfFrames(5), "");
}

// A byte-order mark in front of the scene: the first statement is drawn,
// the echo and the reports are those of the scene without it.
TEST_F(ReportsTest, ByteOrderMarkReadsAsTheSceneWithout) {
    const std::string text = "Material 1 0 0 1 0 0 0 0 0 0 0 0 5\nCube 1 1 1 Zap\n";
    const std::string report = scenePath + ":2:12: mot inconnu « Zap »\n";
    useScene("Cube 1 1 1\n");
    frames(1);
    const std::vector<unsigned char> unlit = pixels();
    useScene(text);
    EXPECT_EQ(reportsOfFrames(1), report);
    const std::string echo = frames(1);
    const std::vector<unsigned char> plain = pixels();
    EXPECT_FALSE(plain == unlit) << "the material shows";
    useScene("\xEF\xBB\xBF" + text);
    EXPECT_EQ(reportsOfFrames(1), report);
    EXPECT_EQ(frames(1), echo);
    EXPECT_TRUE(pixels() == plain);
    useScene(
        "\xEF\xBB\xBF"
        "Cube 1 1 1 Zap\n");
    EXPECT_EQ(reportsOfFrames(1), scenePath + ":1:12: mot inconnu « Zap »\n");
}
