// Scenes that exist but cannot be read, and outputs that cannot be written,
// through the real program. A failure before translation starts leaves an
// existing output file untouched; any failure gives a message and exit 1.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "hostile/translation_run.h"

namespace {

const std::string kPrecious = "precious, written before the run\n";

std::string manyStatements() {
    std::string text;
    for (int k = 0; k < 400; ++k) text += "Push Translation 1 2 3 Cube 1 2 3 Pop\n";
    return text;
}

// Runs both translators on a scene that cannot be read; the output given
// already holds kPrecious.
void expectUnreadableScene(const std::string& scene) {
    const std::string dir = scratchDirectory();
    for (const TranslatorMode& mode : kTranslatorModes) {
        const std::string output = dir + "/out" + mode.extension;
        writeFile(output, kPrecious);
        const TranslationRun t = runTranslator(mode, scene, output);
        EXPECT_EQ(t.run.status, 1) << mode.flag;
        EXPECT_EQ(t.echo, scene + " n'est pas lisible!!!\n") << mode.flag;
        EXPECT_EQ(t.output, kPrecious) << mode.flag;
    }
}

TEST(UnreadableScene, DirectoryIsAFailureAndKeepsTheOutput) {
    expectUnreadableScene(scratchDirectory());
}

// /proc/self/mem opens, then refuses to read at offset 0 (EIO): a read error
// on an existing file, even for root.
TEST(UnreadableScene, ReadErrorIsAFailureAndKeepsTheOutput) {
    expectUnreadableScene("/proc/self/mem");
}

TEST(UnreadableScene, NoReadPermissionIsAFailureAndKeepsTheOutput) {
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root, chmod 000 does not stop reading; ReadError covers this";
    const std::string scene = scratchDirectory() + "/locked.scn";
    writeFile(scene, "Cube 1 2 3\n");
    ASSERT_EQ(chmod(scene.c_str(), 0), 0);
    expectUnreadableScene(scene);
}

// A scene that can be read only once is read before any window opens; one
// without end is refused after 64 MiB instead of read forever.
TEST(UnreadableScene, EndlessInputIsRefusedBeforeAnyWindow) {
    const RunResult r = runProgram({MIROVAN_BINARY, "-ecran", "/dev/zero"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Ecran\n/dev/zero est trop grand (plus de 64 Mo)!!!\n");
    EXPECT_EQ(r.err, "");
}

TEST(UnwritableOutput, MissingDirectoryOrDirectoryCannotBeCreated) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 1\n");
    for (const TranslatorMode& mode : kTranslatorModes) {
        for (const std::string& output : {dir + "/missing/out", dir}) {
            const TranslationRun t = runTranslator(mode, dir + "/s.scn", output);
            EXPECT_EQ(t.run.status, 1) << mode.flag << " " << output;
            EXPECT_EQ(t.echo, output + " ne peut pas etre cree!!!\n") << mode.flag;
        }
        struct stat info;
        EXPECT_NE(stat((dir + "/missing").c_str(), &info), 0);
    }
}

// The scene given as its own output, by the same name or another: the
// scene is kept, not emptied and half translated.
TEST(UnwritableOutput, TheSceneItselfIsRefused) {
    const std::string dir = scratchDirectory();
    const std::string scene = manyStatements();
    writeFile(dir + "/s.scn", scene);
    ASSERT_EQ(symlink((dir + "/s.scn").c_str(), (dir + "/link.scn").c_str()), 0);
    for (const TranslatorMode& mode : kTranslatorModes) {
        for (const std::string& output : {dir + "/s.scn", dir + "/./s.scn", dir + "/link.scn"}) {
            const TranslationRun t = runTranslator(mode, dir + "/s.scn", output);
            EXPECT_EQ(t.run.status, 1) << mode.flag << " " << output;
            EXPECT_EQ(t.echo, output + " ne peut pas etre cree!!!\n") << mode.flag;
            EXPECT_EQ(readFile(dir + "/s.scn"), scene) << mode.flag;
        }
    }
}

TEST(UnwritableOutput, FullDeviceIsAFailure) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", manyStatements());
    for (const TranslatorMode& mode : kTranslatorModes) {
        const TranslationRun t = runTranslator(mode, dir + "/s.scn", "/dev/full");
        EXPECT_EQ(t.run.status, 1) << mode.flag;
        EXPECT_NE(t.echo.find("/dev/full ne peut pas etre ecrit!!!\n"), std::string::npos)
            << mode.flag;
    }
}

// A file size limit of 1024 bytes stops the output partway through the
// translation while the shorter echo still fits: reported, never a success,
// and the earlier output stays as it was.
TEST(UnwritableOutput, WriteFailingPartwayIsAFailure) {
    const std::string dir = scratchDirectory();
    std::string scene;
    for (int k = 0; k < 20; ++k) scene += "Cube 1 2 3\n";
    writeFile(dir + "/s.scn", scene);
    for (const TranslatorMode& mode : kTranslatorModes) {
        const std::string output = dir + "/out" + mode.extension;
        writeFile(output, kPrecious);
        const RunResult r =
            runProgram({"/bin/sh", "-c", "trap '' XFSZ; exec prlimit --fsize=1024 \"$@\"", "sh",
                        MIROVAN_BINARY, mode.flag, dir + "/s.scn", output});
        EXPECT_EQ(r.status, 1) << mode.flag;
        EXPECT_NE(r.out.find(output + " ne peut pas etre ecrit!!!\n"), std::string::npos)
            << mode.flag;
        EXPECT_EQ(readFile(output), kPrecious) << mode.flag;
    }
}

// The output file is complete, but the echo never reached standard output.
TEST(UnwritableOutput, EchoToAFullDeviceIsAFailure) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", manyStatements());
    for (const TranslatorMode& mode : kTranslatorModes) {
        const std::string output = dir + "/out" + mode.extension;
        const RunResult r = runProgram({"/bin/sh", "-c", "exec \"$@\" > /dev/full", "sh",
                                        MIROVAN_BINARY, mode.flag, dir + "/s.scn", output});
        EXPECT_EQ(r.status, 1) << mode.flag;
        const TranslationRun t =
            runTranslator(mode, dir + "/s.scn", dir + "/again" + mode.extension);
        EXPECT_EQ(t.run.status, 0);
        EXPECT_EQ(readFile(output), t.output) << mode.flag;
    }
}

}  // namespace
