// Failures in a translation large enough for two threads: reported as the
// one-thread run reports them, and the earlier output kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/mount.h>

#include "test_scenes/scene_shapes.h"
#include "common/run.h"

namespace {

const std::string kEarlier = "an earlier output, kept whole\n";
const char* const kFlags[] = {"-vrml", "-opengl"};

std::string largeScene(const std::string& dir) {
    const std::string path = dir + "/large.scn";
    writeFile(path, generateScene(SceneShape::Mixed, 3u << 20));
    return path;
}

}  // namespace

TEST(TwoThreads, OutputDeviceFullIsAFailure) {
    const std::string scene = largeScene(scratchDirectory());
    for (const char* flag : kFlags) {
        const RunResult r = runProgram({MIROVAN_BINARY, flag, scene, "/dev/full"});
        EXPECT_EQ(r.status, 1) << flag;
        EXPECT_NE(r.out.find("/dev/full ne peut pas etre ecrit!!!\n"), std::string::npos) << flag;
    }
}

TEST(TwoThreads, EchoDeviceFullIsAFailureAndTheOutputStillWhole) {
    const std::string dir = scratchDirectory();
    const std::string scene = largeScene(dir);
    for (const char* flag : kFlags) {
        const RunResult full = runProgram({"/bin/sh", "-c", "exec \"$@\" > /dev/full", "sh",
                                           MIROVAN_BINARY, flag, scene, dir + "/full.out"});
        EXPECT_EQ(full.status, 1) << flag;
        EXPECT_EQ(runProgram({MIROVAN_BINARY, flag, scene, dir + "/again.out"}).status, 0);
        EXPECT_EQ(readFile(dir + "/full.out"), readFile(dir + "/again.out")) << flag;
    }
}

TEST(TwoThreads, FullFileSystemKeepsTheEarlierOutput) {
    const std::string dir = scratchDirectory(), disk = dir + "/disk";
    std::filesystem::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no right to mount a tmpfs here";
    const std::string scene = largeScene(dir);
    for (const char* flag : kFlags) {
        writeFile(disk + "/out", kEarlier);
        const RunResult r = runProgram({MIROVAN_BINARY, flag, scene, disk + "/out"});
        EXPECT_EQ(r.status, 1) << flag;
        EXPECT_NE(r.out.find(disk + "/out ne peut pas etre ecrit!!!\n"), std::string::npos);
        EXPECT_EQ(readFile(disk + "/out"), kEarlier) << flag;
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(disk))
            ++entries;
        EXPECT_EQ(entries, 1u) << flag;  // no new file left behind
    }
    ::umount(disk.c_str());
}
