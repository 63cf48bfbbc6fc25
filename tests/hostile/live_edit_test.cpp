// The offscreen viewer while its scene file is deleted, truncated, replaced
// or rewritten: between frames and while frames are being drawn. Every frame
// echoes what the file held (or says it cannot read it) and leaves the viewer
// as it found it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "common/run.h"
#include "fuzz/scene_model.h"
#include "fuzz/wellformed.h"
#include "hostile/offscreen_viewer.h"

namespace {

const std::string kRobot =
    "Pointlight 12 18 20 1 1 1 1\nPush\nMaterial 0.9 0.45 0.1 0.2 0.1 0.02 0.6 0.6 0.6 0 0 0 40\n"
    "Translation 0 -4 0\nCylindre 2 6\nPush\nSpotlight 0 5 0 0 -1 0 1 1 1 1 30\nSphere "
    "3\nPop\nPop\nCube 1 2 3\n";

std::string echoOf(const std::string& text) {
    return expectedEcho(readStatements(text.data(), text.size(), NumberPrecision::Mixed));
}

void expectFrameLeftClean(const char* when) {
    AfterFrame after{};
    EXPECT_EQ(checkFrameLeft(after), "") << when;
}

TEST(LiveEdit, EachFrameShowsWhatTheFileHoldsNow) {
    OffscreenViewer viewer;
    const std::string& path = viewer.scenePath();
    const std::string missing = path + " n'existe pas!!!\n",
                      unreadable = path + " n'est pas lisible!!!\n";

    writeFile(path, kRobot);
    EXPECT_EQ(viewer.frame(), echoOf(kRobot));
    expectFrameLeftClean("whole scene");

    std::remove(path.c_str());
    EXPECT_EQ(viewer.frame(), missing);
    expectFrameLeftClean("deleted");

    const std::string cut = kRobot.substr(0, kRobot.find("0.45") + 2);  // inside a Material
    writeFile(path, cut);
    EXPECT_EQ(viewer.frame(), echoOf(cut));
    expectFrameLeftClean("truncated");

    std::string garbage(4096, '\0');
    for (std::size_t k = 0; k < garbage.size(); ++k) garbage[k] = static_cast<char>(k * 7919 % 251);
    writeFile(path, garbage);
    EXPECT_EQ(viewer.frame(), echoOf(garbage));
    expectFrameLeftClean("garbage");

    std::remove(path.c_str());
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    EXPECT_EQ(viewer.frame(), unreadable);
    expectFrameLeftClean("directory");
    ASSERT_EQ(rmdir(path.c_str()), 0);

    ASSERT_EQ(symlink("/proc/self/mem", path.c_str()), 0);  // opens, then fails to read
    EXPECT_EQ(viewer.frame(), unreadable);
    expectFrameLeftClean("read error");
    std::remove(path.c_str());

    writeFile(path, "");
    EXPECT_EQ(viewer.frame(), "");
    writeFile(path, kRobot);
    EXPECT_EQ(viewer.frame(), echoOf(kRobot));
    expectFrameLeftClean("back to the whole scene");
}

// Another thread rewrites the file every way a user's editor or a script
// might while frames are drawn back to back.
void rewriteUntil(const std::string& path, const std::atomic<bool>& stop,
                  std::atomic<int>& rewrites) {
    const std::string other = "Push Cube 1 2 3 Pop Pop Pop Sphere 2 Pointlight 1 1 1 1 1 1 1\n";
    const std::string temporary = path + ".tmp";
    for (int k = 0; !stop; ++k) {
        switch (k % 5) {
            case 0: writeFile(path, kRobot); break;
            case 1: std::remove(path.c_str()); break;
            case 2: truncate(path.c_str(), static_cast<off_t>(k % 97)); break;
            case 3:
                writeFile(temporary, other + kRobot);
                std::rename(temporary.c_str(), path.c_str());
                break;
            case 4: {
                std::FILE* f = std::fopen(path.c_str(), "w");
                if (f == nullptr) break;
                std::fputs(kRobot.substr(0, kRobot.size() / 2).c_str(), f);
                std::fflush(f);
                std::this_thread::yield();
                std::fputs(kRobot.substr(kRobot.size() / 2).c_str(), f);
                std::fclose(f);
                break;
            }
        }
        ++rewrites;
    }
}

TEST(LiveEdit, RewrittenWhileFramesAreDrawn) {
    OffscreenViewer viewer;
    const std::string path = viewer.scenePath();
    writeFile(path, kRobot);
    std::atomic<bool> stop{false};
    std::atomic<int> rewrites{0};
    std::thread writer(rewriteUntil, std::cref(path), std::cref(stop), std::ref(rewrites));

    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int frames = 0;
    std::string failure;
    while (std::chrono::steady_clock::now() < end && failure.empty()) {
        std::string echo = viewer.frame();
        ++frames;
        for (const std::string& message :
             {path + " n'existe pas!!!\n", path + " n'est pas lisible!!!\n"})
            if (echo == message) echo.clear();
        failure = checkEchoShape(echo);
        AfterFrame after{};
        if (failure.empty()) failure = checkFrameLeft(after);
    }
    stop = true;
    writer.join();
    EXPECT_EQ(failure, "") << "after " << frames << " frames";
    EXPECT_GT(frames, 10);
    EXPECT_GT(rewrites.load(), 10);

    writeFile(path, kRobot);
    EXPECT_EQ(viewer.frame(), echoOf(kRobot));
    expectFrameLeftClean("after the rewrites");
}

}  // namespace
