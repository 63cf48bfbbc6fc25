// Every hostile scene through both translators of the real program and
// through the offscreen viewer: no crash, no hang, exactly the text the scene
// should give, and frames that leave the viewer as they found it.
#include <gtest/gtest.h>

#include "fuzz/checks.h"
#include "fuzz/fuzz_targets.h"
#include "test_scenes/hostile_scenes.h"
#include "hostile/translation_run.h"

namespace {

class Catalogue : public ::testing::TestWithParam<std::size_t> {
protected:
    const HostileScene& scene() const { return hostileScenes()[GetParam()]; }
};

TEST_P(Catalogue, BothTranslatorsWriteWellFormedText) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/hostile.scn", scene().text);
    for (const TranslatorMode& mode : kTranslatorModes) {
        const std::string output = dir + "/out" + mode.extension;
        const TranslationRun t = runTranslator(mode, dir + "/hostile.scn", output);
        EXPECT_EQ(t.run.status, 0) << mode.flag << "\n" << t.run.err.substr(0, 2000);
        EXPECT_EQ(checkTranslation(mode, dir + "/hostile.scn", t), "") << mode.flag;
    }
}

// The fuzz targets' checks on the scene held in memory: the reader against
// fscanf, both translators against printf, nothing read past the input.
TEST_P(Catalogue, ReaderAndTranslatorsInMemory) {
    EXPECT_EQ(checkExactCopy(checkReader, scene().text), "");
    EXPECT_EQ(checkExactCopy(checkVrml, scene().text), "");
    EXPECT_EQ(checkExactCopy(checkSource, scene().text), "");
}

TEST_P(Catalogue, OffscreenViewerFramesStayWithinBounds) {
    static const bool ready = (setUpViewerCheck(), true);
    ASSERT_TRUE(ready);
    EXPECT_EQ(checkExactCopy(checkViewer, scene().text), "");
}

std::string sceneName(const ::testing::TestParamInfo<std::size_t>& info) {
    std::string name = hostileScenes()[info.param].name;
    for (char& c : name)
        if (c == '-') c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Hostile, Catalogue,
                         ::testing::Range<std::size_t>(0, hostileScenes().size()), sceneName);

}  // namespace
