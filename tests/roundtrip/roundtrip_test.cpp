// The generated source of a scene, compiled and drawn through the scene
// host's frame, gives the picture that mirovan-snapshot gives of the scene
// file, pixel for pixel: on the first frame and on a later one (which starts
// from the state the first one started with), under two views.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <tuple>

#include "roundtrip_cases.h"
#include "common/run.h"
#include "roundtrip/png_read.h"

void PrintTo(const RoundTripScene& scene, std::ostream* out) { *out << scene.name; }

namespace {

struct View {
    const char* name;
    const char* angleX;
    const char* angleY;
    const char* frames;
};

const View kViews[] = {
    {"FrontFirstFrame", "0", "0", "1"},
    {"TurnedTenthFrame", "25", "-40", "10"},
};

// Fewer lit pixels than this and two pictures agree too easily.
constexpr unsigned kMinLitPixels = 2500;

unsigned litPixels(const Picture& p) {
    unsigned lit = 0;
    for (std::size_t i = 0; i + 2 < p.rgb.size(); i += 3)
        if (p.rgb[i] != 0 || p.rgb[i + 1] != 0 || p.rgb[i + 2] != 0) ++lit;
    return lit;
}

std::string describePixel(const Picture& p, std::size_t offset) {
    return std::to_string(p.rgb[offset]) + "," + std::to_string(p.rgb[offset + 1]) + "," +
           std::to_string(p.rgb[offset + 2]);
}

Picture load(const std::string& path) {
    Picture picture;
    std::string error;
    EXPECT_TRUE(readPng(path, picture, error)) << path << ": " << error;
    return picture;
}

void PrintTo(const View& view, std::ostream* out) { *out << view.name; }

class PictureRoundTrip : public ::testing::TestWithParam<std::tuple<RoundTripScene, View>> {};

TEST_P(PictureRoundTrip, CompiledSourceDrawsTheSnapshotPicture) {
    const auto& [scene, view] = GetParam();
    const std::string dir = scratchDirectory();
    const std::string expectedPath = dir + "/snapshot.png", actualPath = dir + "/compiled.png";

    const RunResult snapshot = runProgram({MIROVAN_SNAPSHOT, scene.scene, expectedPath, "--view",
                                           view.angleX, view.angleY, "--frames", view.frames});
    ASSERT_EQ(snapshot.status, 0) << snapshot.out << snapshot.err;
    const RunResult compiled = runProgram(
        {scene.program, actualPath, "--view", view.angleX, view.angleY, "--frames", view.frames});
    ASSERT_EQ(compiled.status, 0) << compiled.out << compiled.err;
    EXPECT_EQ(compiled.out, "");  // the generated source has no echo

    const Picture expected = load(expectedPath), actual = load(actualPath);
    ASSERT_EQ(expected.width, 500);
    ASSERT_EQ(expected.height, 500);
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    EXPECT_GE(litPixels(expected), kMinLitPixels) << scene.scene << " draws next to nothing";

    std::size_t differing = 0, first = 0;
    for (std::size_t i = 0; i < expected.rgb.size(); i += 3) {
        if (expected.rgb[i] == actual.rgb[i] && expected.rgb[i + 1] == actual.rgb[i + 1] &&
            expected.rgb[i + 2] == actual.rgb[i + 2])
            continue;
        if (differing++ == 0) first = i;
    }
    if (differing == 0) return;
    const std::string kept = std::string(ROUNDTRIP_FAILED_DIR) + "/" + scene.name + "-" + view.name;
    std::filesystem::create_directories(ROUNDTRIP_FAILED_DIR);
    std::filesystem::copy_file(expectedPath, kept + "-snapshot.png",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(actualPath, kept + "-compiled.png",
                               std::filesystem::copy_options::overwrite_existing);
    const std::size_t pixel = first / 3;
    ADD_FAILURE() << differing << " pixels differ; the first at (" << pixel % 500 << ", "
                  << pixel / 500 << "): snapshot " << describePixel(expected, first)
                  << ", compiled " << describePixel(actual, first) << ". Pictures kept as " << kept
                  << "-*.png";
}

// A number that is not finite is 0 in every mode: the scene draws as the
// same scene with 0 written there.
TEST(NotFinite, DrawsAsZero) {
    const std::string dir = scratchDirectory(), awkward = ROUNDTRIP_AWKWARD_DIR;
    for (const char* frames : {"1", "3"}) {
        const std::string with = dir + "/with.png", zero = dir + "/zero.png";
        ASSERT_EQ(runProgram({MIROVAN_SNAPSHOT, awkward + "/not_finite.scn", with, "--view", "20",
                              "-30", "--frames", frames})
                      .status,
                  0);
        ASSERT_EQ(runProgram({MIROVAN_SNAPSHOT, awkward + "/not_finite_as_zero.scn", zero, "--view",
                              "20", "-30", "--frames", frames})
                      .status,
                  0);
        const Picture a = load(with), b = load(zero);
        EXPECT_GE(litPixels(a), kMinLitPixels);
        EXPECT_EQ(a.rgb, b.rgb) << frames << " frames";
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, PictureRoundTrip,
                         ::testing::Combine(::testing::ValuesIn(kRoundTripScenes),
                                            ::testing::ValuesIn(kViews)),
                         [](const ::testing::TestParamInfo<PictureRoundTrip::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

}  // namespace
