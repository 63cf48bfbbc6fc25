// The bundled examples against their golden translations and echo.
#include <gtest/gtest.h>

#include "common/run.h"

namespace {

class Examples : public ::testing::TestWithParam<const char*> {};

void checkGolden(const std::string& name, const char* mode, const char* extension) {
    const std::string dir = scratchDirectory();
    const std::string scene = std::string(MIROVAN_SOURCE_DIR) + "/examples/" + name + ".scn";
    const std::string golden = std::string(MIROVAN_SOURCE_DIR) + "/tests/golden/" + name;
    const std::string out = dir + "/out" + extension;
    RunResult r = runProgram({MIROVAN_BINARY, mode, scene, out});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(readFile(out), readFile(golden + extension));
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), readFile(golden + ".echo"));
}

}  // namespace

TEST_P(Examples, Vrml) { checkGolden(GetParam(), "-vrml", ".wrl"); }
TEST_P(Examples, Source) { checkGolden(GetParam(), "-opengl", ".cpp"); }

INSTANTIATE_TEST_SUITE_P(Bundled, Examples, ::testing::Values("robot", "still_life", "lights"));
