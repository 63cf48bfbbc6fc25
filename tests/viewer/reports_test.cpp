// Screen mode reads the scene on every frame but reports its faults once
// for each version of the file.
#include <cstdio>
#include <string>

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
