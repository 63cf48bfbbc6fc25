// mirovan-snapshot from the command line: its PNG, and its failures.
#include <gtest/gtest.h>

#include <png.h>

#include <filesystem>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "common/run.h"

namespace {

bool pngSize(const std::string& path, unsigned& width, unsigned& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    width = image.width;
    height = image.height;
    const bool rgb = image.format == PNG_FORMAT_RGB;
    png_image_free(&image);
    return rgb;
}

}  // namespace

TEST(SnapshotTool, WritesAnRgbPngOfTheRequestedSize) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 5\n");
    RunResult r = runProgram({SNAPSHOT_BINARY, dir + "/s.scn", dir + "/a.png"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "Sphere 5.000000\n");
    unsigned w = 0, h = 0;
    ASSERT_TRUE(pngSize(dir + "/a.png", w, h));
    EXPECT_EQ(w, 500u);
    EXPECT_EQ(h, 500u);
    r = runProgram({SNAPSHOT_BINARY, dir + "/s.scn", dir + "/b.png", "--size", "320", "200",
                    "--view", "10", "-20", "--frames", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Sphere 5.000000\nSphere 5.000000\nSphere 5.000000\n");
    ASSERT_TRUE(pngSize(dir + "/b.png", w, h));
    EXPECT_EQ(w, 320u);
    EXPECT_EQ(h, 200u);
}

TEST(SnapshotTool, FailuresAreClearAndNonZero) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 5\n");
    RunResult r = runProgram({SNAPSHOT_BINARY, dir + "/none.scn", dir + "/a.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, dir + "/none.scn n'existe pas!!!\n");
    r = runProgram({SNAPSHOT_BINARY, dir + "/s.scn", dir + "/missing/a.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(dir + "/missing/a.png ne peut pas etre cree!!!\n"), std::string::npos);
    r = runProgram({SNAPSHOT_BINARY, dir + "/s.scn"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Usage: mirovan-snapshot"), std::string::npos);
    r = runProgram({SNAPSHOT_BINARY, dir + "/s.scn", dir + "/a.png", "--size", "0", "10"});
    EXPECT_EQ(r.status, 2);
}

// A FIFO gives its scene once: the picture is the regular file's. A device
// that never ends is refused after 64 MiB.
TEST(SnapshotTool, ReadsAFifoOnceAndRefusesEndlessInput) {
    const std::string dir = scratchDirectory(), text = "Rotation 30 1 1 0\nCube 8 8 8\n";
    writeFile(dir + "/s.scn", text);
    ASSERT_EQ(runProgram({SNAPSHOT_BINARY, dir + "/s.scn", dir + "/file.png"}).status, 0);
    ASSERT_EQ(mkfifo((dir + "/s.fifo").c_str(), 0600), 0);
    std::thread writer([&] { writeFile(dir + "/s.fifo", text); });
    RunResult r =
        runProgram({SNAPSHOT_BINARY, dir + "/s.fifo", dir + "/fifo.png", "--frames", "3"});
    writer.join();
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(readFile(dir + "/fifo.png"), readFile(dir + "/file.png"));

    r = runProgram({SNAPSHOT_BINARY, "/dev/zero", dir + "/zero.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "/dev/zero est trop grand (plus de 64 Mo)!!!\n");
}

// --zoom alone zooms about the centre; zooms outside [1/100, 100] are refused.
TEST(SnapshotTool, ZoomsAboutTheCentreUnlessToldWhere) {
    const std::string dir = scratchDirectory(), scene = dir + "/s.scn";
    writeFile(scene, "Rotation 30 1 1 0\nCube 8 8 8\n");
    ASSERT_EQ(runProgram({SNAPSHOT_BINARY, scene, dir + "/a.png", "--zoom", "2"}).status, 0);
    ASSERT_EQ(runProgram({SNAPSHOT_BINARY, scene, dir + "/b.png", "--zoom", "2", "--zoom-at", "250",
                          "250"})
                  .status,
              0);
    EXPECT_EQ(readFile(dir + "/a.png"), readFile(dir + "/b.png"));
    ASSERT_EQ(runProgram({SNAPSHOT_BINARY, scene, dir + "/c.png"}).status, 0);
    EXPECT_NE(readFile(dir + "/a.png"), readFile(dir + "/c.png"));
    for (const char* bad : {"0", "0.009", "101", "x"})
        EXPECT_EQ(runProgram({SNAPSHOT_BINARY, scene, dir + "/bad.png", "--zoom", bad}).status, 2)
            << bad;
}

// The scene named as its own picture, by any name or link, is refused as the
// translators refuse it, and the scene stays as it was.
TEST(SnapshotTool, RefusesTheSceneAsItsOwnPicture) {
    namespace fs = std::filesystem;
    const std::string dir = scratchDirectory(), scene = dir + "/s.scn", text = "Sphere 5\n";
    writeFile(scene, text);
    fs::create_symlink("s.scn", dir + "/link.png");
    fs::create_hard_link(scene, dir + "/hard.png");
    ASSERT_EQ(::chdir(dir.c_str()), 0);
    for (const std::string& output :
         {scene, std::string("./s.scn"), dir + "/link.png", dir + "/hard.png",
          dir + "/../" + fs::path(dir).filename().string() + "/s.scn"}) {
        const RunResult r = runProgram({SNAPSHOT_BINARY, "s.scn", output});
        EXPECT_EQ(r.status, 1) << output;
        EXPECT_EQ(r.out, "Sphere 5.000000\n" + output + " ne peut pas etre cree!!!\n") << output;
        EXPECT_EQ(readFile(scene), text) << output;
    }
    EXPECT_TRUE(fs::is_symlink(dir + "/link.png"));
    EXPECT_EQ(fs::hard_link_count(scene), 2u);
}

// A picture that cannot be written whole (here the file-size limit cuts it
// after 512 bytes) leaves the earlier picture exactly as it was, and no new
// file beside it.
TEST(SnapshotTool, FailedWriteKeepsTheEarlierPicture) {
    namespace fs = std::filesystem;
    const std::string dir = scratchDirectory(), scene = dir + "/s.scn", png = dir + "/a.png";
    writeFile(scene, "Rotation 30 1 1 0\nCube 8 8 8\n");
    ASSERT_EQ(runProgram({SNAPSHOT_BINARY, scene, png, "--size", "64", "64"}).status, 0);
    const std::string earlier = readFile(png);
    const RunResult r =
        runProgram({"/bin/sh", "-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"",
                    SNAPSHOT_BINARY, scene, png});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find(png + " ne peut pas etre ecrit!!!\n"), std::string::npos) << r.out;
    EXPECT_TRUE(readFile(png) == earlier);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 2);
}
