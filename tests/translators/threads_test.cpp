// Which path a translation takes, and that a translation on several threads
// reads one version of the scene however the file changes meanwhile.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "parallel.h"
#include "threads_testing.h"
#include "scene/console.h"
#include "test_scenes/scene_shapes.h"
#include "common/run.h"
#include "translators/translators.h"
#include "one_core.h"

namespace {

// The VRML translation in this process, its echo and reports thrown away.
bool translateQuietly(const std::string& scene, const std::string& output) {
    consoleFlush();
    const int savedOut = ::dup(1), savedErr = ::dup(2);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::close(null);
    const bool ok = VrmlTranslator(scene.c_str(), output.c_str());
    consoleFlush();
    ::dup2(savedOut, 1);
    ::dup2(savedErr, 2);
    ::close(savedOut);
    ::close(savedErr);
    return ok;
}

// What the seam does when segment `at` is read: the scene replaced by
// another file, or removed.
struct Change {
    std::uint64_t at;
    std::string scene, replacement;  // empty replacement: removed
    bool done;
};
Change change;

void changeScene(std::uint64_t segment) {
    if (segment != change.at || change.done) return;
    change.done = true;
    if (change.replacement.empty())
        std::remove(change.scene.c_str());
    else
        std::rename(change.replacement.c_str(), change.scene.c_str());
}

// A scene with a stretch longer than a segment and no keyword to cut at,
// after about `before` bytes.
std::string sceneWithStretch(std::size_t before) {
    std::string text = generateScene(SceneShape::Mixed, before);
    while (text.size() < before + (300u << 10)) text += "Box 1 2 3 cube -0.5 ";
    return text + "\n" + generateScene(SceneShape::Nested, 1u << 20);
}

// A balanced start, then brackets deep enough that a segment's text passes
// what a thread holds before its turn, either as translated (Pushes in the
// segment itself) or once indented (Pushes climbed slowly before it), then a
// balanced end.
std::string sceneGoingDeep(bool steep) {
    std::string text = generateScene(SceneShape::Mixed, 1200u << 10);
    const std::string spheres(9 * 330, 'x');
    std::string deep;
    for (int k = 0; k < 180; ++k) {
        deep += "Push\n";
        if (!steep)
            for (int n = 0; n < 330; ++n) deep += "Sphere 1\n";  // 43 Pushes a segment
    }
    while (deep.size() < (600u << 10)) deep += "Sphere 1\n";
    for (int k = 0; k < 180; ++k) deep += "Pop\n";
    return text + "\n" + deep + generateScene(SceneShape::Nested, 600u << 10);
}

}  // namespace

TEST(Threads, LargeScenesOnEveryCoreSmallOnesAndOneCoreOnOneThread) {
    if (allowedCores() < 2) GTEST_SKIP() << "one core: every translation is on one thread";
    const std::string dir = scratchDirectory();
    writeFile(dir + "/large.scn", generateScene(SceneShape::Mixed, 3u << 20));
    writeFile(dir + "/small.scn", generateScene(SceneShape::Mixed, 200u << 10));

    ASSERT_TRUE(translateQuietly(dir + "/large.scn", dir + "/threads.wrl"));
    EXPECT_EQ(lastThreadsRun().threads, std::min(allowedCores(), 4));
    EXPECT_GT(lastThreadsRun().segments, 20u);
    EXPECT_FALSE(lastThreadsRun().rest);

    ASSERT_TRUE(translateQuietly(dir + "/small.scn", dir + "/small.wrl"));
    EXPECT_EQ(lastThreadsRun().threads, 0);
    {
        OneCore pinned;
        ASSERT_TRUE(translateQuietly(dir + "/large.scn", dir + "/one.wrl"));
        EXPECT_EQ(lastThreadsRun().threads, 0);
    }
    EXPECT_EQ(readFile(dir + "/threads.wrl"), readFile(dir + "/one.wrl"));
}

TEST(Threads, SceneReplacedOrRemovedMidwayGivesTheVersionFirstOpened) {
    if (allowedCores() < 2) GTEST_SKIP() << "one core: every translation is on one thread";
    const std::string dir = scratchDirectory(), scene = dir + "/s.scn";
    const std::string other = generateScene(SceneShape::Flat, 3u << 20);
    struct Case {
        const char* name;
        std::string text;
        std::uint64_t at;
        bool replaced;
    };
    // Segments are 128 KiB: the stretch after 1 MiB is met in segment 8 and
    // read on from there to the end.
    const Case cases[] = {
        {"replaced", generateScene(SceneShape::Mixed, 3u << 20), 3, true},
        {"removed", generateScene(SceneShape::Mixed, 3u << 20), 3, false},
        {"replaced at a stretch", sceneWithStretch(1u << 20), 8, true},
        {"removed at a stretch", sceneWithStretch(1u << 20), 8, false},
    };
    for (const Case& c : cases) {
        writeFile(scene, c.text);
        ASSERT_TRUE(translateQuietly(scene, dir + "/expected.wrl")) << c.name;
        writeFile(dir + "/other.scn", other);
        change = {c.at, scene, c.replaced ? dir + "/other.scn" : "", false};
        setSegmentSeam(changeScene);
        const bool ok = translateQuietly(scene, dir + "/out.wrl");
        setSegmentSeam(nullptr);
        EXPECT_TRUE(change.done) << c.name;
        EXPECT_TRUE(ok) << c.name;
        EXPECT_EQ(lastThreadsRun().rest, c.at == 8) << c.name;
        EXPECT_TRUE(readFile(dir + "/out.wrl") == readFile(dir + "/expected.wrl")) << c.name;
    }
}

// Text hundreds of times the scene is not held by the threads: the segment
// whose text passes the bound is written at its turn by its own thread and
// the scene after it is read on in order, giving one thread's bytes.
TEST(Threads, DeepBracketsAreReadOnInOrder) {
    if (allowedCores() < 2) GTEST_SKIP() << "one core: every translation is on one thread";
    const std::string dir = scratchDirectory(), scene = dir + "/s.scn";
    for (const bool steep : {true, false}) {
        writeFile(scene, sceneGoingDeep(steep));
        {
            OneCore pinned;
            ASSERT_TRUE(translateQuietly(scene, dir + "/one.wrl"));
        }
        ASSERT_TRUE(translateQuietly(scene, dir + "/threads.wrl"));
        EXPECT_GT(lastThreadsRun().threads, 1) << steep;
        EXPECT_TRUE(lastThreadsRun().rest) << steep;
        EXPECT_TRUE(readFile(dir + "/threads.wrl") == readFile(dir + "/one.wrl")) << steep;
    }
}
