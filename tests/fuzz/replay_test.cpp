// Every saved fuzz input, the seed corpus and the inputs that once made a
// target fail, replayed through every target's checks in the normal build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/run.h"
#include "fuzz/fuzz_targets.h"

namespace {

std::vector<std::string> savedInputs() {
    std::vector<std::string> files;
    for (const char* dir : {"corpus", "regressions"}) {
        const std::filesystem::path path = std::filesystem::path(MIROVAN_FUZZ_DIR) / dir;
        if (!std::filesystem::is_directory(path)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(path))
            if (entry.is_regular_file() && entry.path().extension() != ".md")
                files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class Replay : public ::testing::TestWithParam<int> {};

TEST_P(Replay, SavedInputsHoldEveryProperty) {
    const FuzzTarget& target = kFuzzTargets[GetParam()];
    if (target.setUp != nullptr) target.setUp();
    const std::vector<std::string> files = savedInputs();
    ASSERT_GT(files.size(), 10u);
    for (const std::string& file : files) {
        EXPECT_EQ(checkExactCopy(target.check, readFile(file)), "") << file;
    }
}

std::string targetName(const ::testing::TestParamInfo<int>& info) {
    return kFuzzTargets[info.param].name;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Replay, ::testing::Range(0, kFuzzTargetCount), targetName);

}  // namespace
