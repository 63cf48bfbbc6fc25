// One scene, one picture: the first frame is every later one, nesting of
// any depth draws as shallow nesting, and a stray Pop changes nothing.
#include <GL/gl.h>

#include <filesystem>
#include <string>

#include "common/run.h"
#include "support/support_state.h"
#include "viewer/viewer_fixture.h"
#include "viewer/view.h"

namespace {

const char* const kRed = "Material 1 0 0 0.2 0 0 0 0 0 0 0 0 10\n";

std::string repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

std::size_t litPixels(const std::vector<unsigned char>& rgb) {
    std::size_t lit = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) lit += rgb[i] + rgb[i + 1] + rgb[i + 2] > 0;
    return lit;
}

}  // namespace

TEST_F(ViewerTest, FirstFrameIsEveryLaterFrame) {
    std::vector<std::pair<std::string, std::string>> scenes = {
        {"grey then red",
         std::string("Translation -8 0 0\nSphere 3\nTranslation 16 0 0\n") + kRed + "Sphere 3\n"},
        {"box under a spot",
         "Spotlight 0 0 15 0 0 -1 1 1 1 1 20\nRotation 30 1 1 0\nCube 12 12 12\n"},
    };
    for (const auto& entry : std::filesystem::directory_iterator(MIROVAN_SOURCE_DIR "/examples"))
        scenes.emplace_back(entry.path().filename(), readFile(entry.path()));
    const std::string dir = scratchDirectory();
    for (int seed = 1; seed <= 20; ++seed) {
        const std::string path = dir + "/random.scn";
        ASSERT_EQ(runProgram({RANDOM_SCENE_BINARY, std::to_string(seed), path}).status, 0);
        // Ends on a top-level material and light that the next frame's first
        // shapes would inherit if they carried over.
        scenes.emplace_back("seed " + std::to_string(seed),
                            readFile(path) +
                                "Material 0.9 0.2 0.1 0.2 0.1 0.1 1 1 1 0 0 0 30\n"
                                "Spotlight 0 0 12 0 0 -1 1 1 1 1 40\nCube 3 3 3\n");
    }
    for (const auto& [name, text] : scenes) {
        SetUp();
        useScene(text);
        setViewAngles(20, 30);
        frames(1);
        const std::vector<unsigned char> first = pixels();
        frames(1);
        EXPECT_TRUE(pixels() == first) << name << ": frame 2";
        frames(8);
        EXPECT_TRUE(pixels() == first) << name << ": frame 10";
        EXPECT_GT(litPixels(first), 2000u) << name << " draws next to nothing";
    }
    // The left sphere of the first scene keeps the default grey.
    SetUp();
    useScene(scenes[0].second);
    frames(3);
    const unsigned left = pixel(150, 250);
    EXPECT_GT(left & 0xFF, 60u);
    EXPECT_EQ(left >> 16, left & 0xFF);
}

TEST_F(ViewerTest, DeepNestingDrawsAsShallowNesting) {
    // Forty levels, past the GL's own matrix stack, each turning and moving
    // a little; then a sphere after the last Pop, back in the outer frame.
    const std::string turn = "Rotation 9 0 0 1\nTranslation 0.3 0 0\n";
    const std::string inner =
        "Material 0 0 1 0 0 0.2 1 1 1 0 0 0 20\n"
        "Spotlight 0 0 15 0 0 -1 1 1 1 1 30\nCube 4 2 2\n";
    const std::string outer = std::string(kRed) + "Pointlight 5 5 15 1 1 1 1\n";
    const std::string after = "Translation 9 0 0\nSphere 3\n";
    const std::string deep =
        outer + repeat("Push\n" + turn, 40) + inner + repeat("Pop\n", 40) + after;
    const std::string shallow = outer + "Push\n" + repeat(turn, 40) + inner + "Pop\n" + after;

    std::vector<unsigned char> pictures[2];
    for (int k = 0; k < 2; ++k) {
        SetUp();
        useScene(k == 0 ? shallow : deep);
        setViewAngles(35, 50);
        const std::string echo = frames(2);
        EXPECT_EQ(echo.find("!!!"), std::string::npos) << echo;
        pictures[k] = pixels();
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
    }
    EXPECT_GT(litPixels(pictures[0]), 5000u);
    EXPECT_TRUE(pictures[0] == pictures[1]);
}

TEST_F(ViewerTest, PopWithoutPushIsEchoedAndOtherwiseIgnored) {
    const std::string lit = std::string(kRed) + "Pointlight 0 0 15 1 1 1 1\n";
    const std::string shapes =
        "Translation 0 0 10\nCube 4 4 4\nPush\nTranslation 6 0 0\n"
        "Sphere 2\nPop\n";
    // At the very start, between statements, and after a balanced pair.
    const std::string stray = "Pop\n" + lit + "Pop\n" + shapes + "Pop\nPop\nSphere 1\n";
    std::vector<unsigned char> expected;
    for (const std::string& scene : {lit + shapes + "Sphere 1\n", stray}) {
        SetUp();
        useScene(scene);
        setViewAngles(60, 0);
        const std::string echo = frames(2);
        if (expected.empty()) {
            expected = pixels();
            continue;
        }
        EXPECT_TRUE(pixels() == expected);
        EXPECT_EQ(echo.find("!!!"), std::string::npos) << echo;  // no notice
        std::size_t pops = 0;
        for (std::size_t at = 0; (at = echo.find("\nPop\n", at)) != std::string::npos; ++at) ++pops;
        EXPECT_EQ(pops + (echo.rfind("Pop\n", 0) == 0), 10u) << echo;
    }
}

// 20,000 spheres of distinct radii (out of the view, behind the far plane)
// keep the display-list cache within its bound on every frame; the shapes
// drawn once it is full (compiled, called and freed at once) look exactly
// as the same shapes replayed from the cache, and every frame as the first.
TEST_F(ViewerTest, DistinctSizesStayWithinTheCacheBound) {
    std::string hidden = "Push\nTranslation 0 0 100\n";
    for (int k = 0; k < 20000; ++k) hidden += "Sphere " + std::to_string(1 + k * 1e-4) + "\n";
    hidden += "Pop\n";
    const std::string visible = std::string(kRed) +
                                "Pointlight 5 5 15 1 1 1 1\nSphere 6.5\nTranslation 9 3 0\n"
                                "Cube 3 2.5 1\nTranslation -18 -6 0\nSphere 2.25\n";
    SetUp();
    useScene(visible);
    setViewAngles(20, 30);
    frames(1);
    const std::vector<unsigned char> cached = pixels();
    EXPECT_GT(litPixels(cached), 5000u);

    SetUp();
    useScene(hidden + visible);
    setViewAngles(20, 30);
    for (int frame = 1; frame <= 3; ++frame) {
        frames(1);
        EXPECT_LE(shapeListCount(), kMaxShapeLists) << "frame " << frame;
        EXPECT_TRUE(pixels() == cached) << "frame " << frame;
    }
}
