// Both translators through the real program against the plain fscanf/fprintf
// translation, on generated scenes of every shape: the output files and the
// echo must be the same bytes. Scenes from 1 MiB up are translated on two
// threads, smaller ones on one; both sizes are run.
#include <gtest/gtest.h>

#include <string>

#include "scene_baseline/plain_translator.h"
#include "test_scenes/scene_shapes.h"
#include "common/run.h"

namespace {

struct Mode {
    const char* flag;
    PlainMode plain;
};
const Mode kModes[] = {{"-vrml", PlainMode::Vrml}, {"-opengl", PlainMode::Source}};

// Empty when mirovan and the plain translation agree on `scene`.
std::string compareWithPlain(const std::string& dir, const std::string& scene) {
    writeFile(dir + "/s.scn", scene);
    for (const Mode& mode : kModes) {
        std::FILE* echo = std::fopen((dir + "/plain.echo").c_str(), "w");
        if (!echo || !plainTranslate(mode.plain, (dir + "/s.scn").c_str(),
                                     (dir + "/plain.out").c_str(), echo))
            return "plain translation failed";
        std::fclose(echo);
        const RunResult r =
            runProgram({MIROVAN_BINARY, mode.flag, dir + "/s.scn", dir + "/ours.out"});
        if (r.status != 0)
            return std::string(mode.flag) + ": exit status " + std::to_string(r.status);
        const std::string ourEcho = r.out.substr(r.out.find('\n') + 1);  // after the banner
        if (readFile(dir + "/ours.out") != readFile(dir + "/plain.out"))
            return std::string(mode.flag) + ": output differs";
        if (ourEcho != readFile(dir + "/plain.echo"))
            return std::string(mode.flag) + ": echo differs";
    }
    return "";
}

class Shapes : public testing::TestWithParam<int> {};

TEST_P(Shapes, SameBytesAsThePlainTranslation) {
    const auto shape = static_cast<SceneShape>(GetParam());
    const std::string dir = scratchDirectory();
    for (std::size_t size : {200u << 10, 3u << 20}) {
        const std::string failure = compareWithPlain(dir, generateScene(shape, size));
        EXPECT_EQ(failure, "") << sceneShapeName(shape) << ", " << size << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryShape, Shapes, testing::Range(0, kSceneShapeCount),
                         [](const testing::TestParamInfo<int>& info) {
                             std::string name = sceneShapeName(static_cast<SceneShape>(info.param));
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

// Large scenes whose pieces the two threads cannot foresee: a Pop glued to
// the number before it (missed when counting brackets ahead), and a stretch
// longer than a segment without a keyword (read on from the file).
TEST(ShapesOnTwoThreads, GluedBracketsAndStretchesWithoutKeywords) {
    const std::string dir = scratchDirectory();
    std::string glued;
    while (glued.size() < (2u << 20)) glued += "Push Cube 1 2 -3Push Sphere 0.5Pop Zoom 1 2 3Pop\n";
    EXPECT_EQ(compareWithPlain(dir, glued), "");

    std::string stretch = generateScene(SceneShape::Mixed, 1u << 20);
    while (stretch.size() < (3u << 20) / 2) stretch += "Box 1 2 3 cube -0.5 ";
    stretch += "\n" + generateScene(SceneShape::Nested, 1u << 20);
    EXPECT_EQ(compareWithPlain(dir, stretch), "");
}

}  // namespace

// Brackets so deep that a segment's text outgrows what a thread may hold
// before its turn: it waits for the turn and writes on from there.
TEST(ShapesOnTwoThreads, TextLargerThanWhatIsHeld) {
    std::string deep;
    for (int k = 0; k < 120; ++k) deep += "Push\n";
    while (deep.size() < (3u << 19)) deep += "Sphere 1\nPop Push Cone 1 2\n";
    EXPECT_EQ(compareWithPlain(scratchDirectory(), deep), "");
}

// Brackets deeper than the indentation holds, climbed and left across many
// segments, then more Pops than Pushes: the blanks stop growing at the same
// line and the Pops that close nothing are left out, as on one thread.
TEST(ShapesOnTwoThreads, DeeperThanTheIndentationAndPopsBelowNone) {
    std::string scene;
    const std::string solids = "Sphere 1\nCube 1 2 3\nCone 1 2\nZoom 1 1 1\n";
    while (scene.size() < (5u << 20) / 2) {
        for (int k = 0; k < 1100; ++k) scene += "Push\n" + solids;
        for (int k = 0; k < 1150; ++k) scene += solids + "Pop\n";
    }
    EXPECT_EQ(compareWithPlain(scratchDirectory(), scene), "");
}
