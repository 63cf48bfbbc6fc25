// The command line as a user meets it: messages, usage, banners and exit status.
#include <gtest/gtest.h>

#include "common/run.h"

namespace {

const std::string kUsage =
    "Usage\nMirovan -ecran fichier.scn\nMirovan -vrml fichier.scn fichier.wrl\n"
    "Mirovan -opengl fichier.scn fichier.cpp\nMirovan -html fichier.scn fichier.html\n"
    "Mirovan -gltf fichier.scn fichier.glb\n";

}  // namespace

TEST(CommandLine, NoArgumentsPrintsTheMissingLineAndTheUsage) {
    RunResult r = runProgram({MIROVAN_BINARY});
    EXPECT_EQ(r.out, "Il manque des arguments!!!\n" + kUsage);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 1);
}

TEST(CommandLine, UnknownModeWordPrintsTheUsage) {
    for (const char* word : {"-VRML", "-Ecran", "vrml", "-opengl2", ""}) {
        RunResult r = runProgram({MIROVAN_BINARY, word, "a.scn", "b.wrl"});
        EXPECT_EQ(r.out, kUsage) << word;
        EXPECT_EQ(r.status, 1);
    }
}

TEST(CommandLine, ModeWithoutItsFilesIsReportedLikeNoArguments) {
    for (auto args : std::vector<std::vector<std::string>>{{"-vrml"},
                                                           {"-vrml", "a.scn"},
                                                           {"-opengl"},
                                                           {"-opengl", "a.scn"},
                                                           {"-html", "a.scn"},
                                                           {"-gltf"},
                                                           {"-ecran"}}) {
        args.insert(args.begin(), MIROVAN_BINARY);
        RunResult r = runProgram(args);
        EXPECT_EQ(r.out, "Il manque des arguments!!!\n" + kUsage);
        EXPECT_EQ(r.status, 1);
    }
}

TEST(CommandLine, BannerComesBeforeTheTranslation) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/a.scn", "Sphere 1\n");
    RunResult r = runProgram({MIROVAN_BINARY, "-vrml", dir + "/a.scn", dir + "/b.wrl", "extra"});
    EXPECT_EQ(r.out, "VRML " + dir + "/a.scn " + dir + "/b.wrl\nSphere 1.000000\n");
    EXPECT_EQ(r.status, 0);
    r = runProgram({MIROVAN_BINARY, "-opengl", dir + "/a.scn", dir + "/b.cpp"});
    EXPECT_EQ(r.out, "OpenGL " + dir + "/a.scn " + dir + "/b.cpp\nSphere 1.000000\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(CommandLine, MissingSceneFailsAfterTheBanner) {
    RunResult r = runProgram({MIROVAN_BINARY, "-opengl", "/nonexistent.scn", "/tmp/never.cpp"});
    EXPECT_EQ(r.out, "OpenGL /nonexistent.scn /tmp/never.cpp\n/nonexistent.scn n'existe pas!!!\n");
    EXPECT_EQ(r.status, 1);
}

TEST(CommandLine, LongSceneFileNamesPassWhole) {
    const std::string dir = scratchDirectory();
    const std::string name = dir + "/" + std::string(250, 'n') + ".scn";
    RunResult r = runProgram({MIROVAN_BINARY, "-vrml", name, dir + "/o.wrl"});
    EXPECT_EQ(r.out, "VRML " + name + " " + dir + "/o.wrl\n" + name + " n'existe pas!!!\n");
}
