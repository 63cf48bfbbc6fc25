// The output file is replaced whole or not at all: a failed translation
// leaves the earlier output byte for byte, and outputs that are not plain
// files are written where they are.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "scanner_testing.h"
#include "scene/console.h"
#include "common/run.h"
#include "translators/translators.h"
#include "output_files.h"

namespace {

mode_t modeOf(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

struct Mode {
    const char* flag;
    bool (*translate)(const char*, const char*);
};
const Mode kModes[] = {{"-vrml", VrmlTranslator}, {"-opengl", SourceTranslator}};

}  // namespace

TEST(AtomicOutput, FullFileSystemKeepsTheEarlierOutput) {
    const std::string dir = scratchDirectory(), disk = dir + "/disk";
    std::filesystem::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=128k") != 0)
        GTEST_SKIP() << "no right to mount a tmpfs here";
    writeFile(dir + "/s.scn", manyCubes(2000));  // far more than 128 KB translated
    for (const Mode& mode : kModes) {
        const std::string output = disk + "/out";
        writeFile(output, kEarlier);
        const RunResult r = runProgram({MIROVAN_BINARY, mode.flag, dir + "/s.scn", output});
        EXPECT_EQ(r.status, 1) << mode.flag;
        EXPECT_NE(r.out.find(output + " ne peut pas etre ecrit!!!\n"), std::string::npos);
        EXPECT_EQ(readFile(output), kEarlier) << mode.flag;
        EXPECT_EQ(entriesIn(disk), 1u) << mode.flag;
    }
    ::umount(disk.c_str());
}

TEST(AtomicOutput, ReadFailingPartwayKeepsTheEarlierOutput) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", manyCubes(4000));  // several read blocks
    std::FILE* quiet = std::fopen("/dev/null", "w");
    textOpen(console(), quiet);  // the echo is not this test's concern
    for (const Mode& mode : kModes) {
        const std::string output = dir + "/out";
        writeFile(output, kEarlier);
        scanFailReadsFrom(1 << 16);
        EXPECT_FALSE(mode.translate((dir + "/s.scn").c_str(), output.c_str())) << mode.flag;
        scanFailReadsFrom(UINT64_MAX);
        EXPECT_EQ(readFile(output), kEarlier) << mode.flag;
        EXPECT_EQ(entriesIn(dir), 2u) << mode.flag;
        // Without the fault the same run replaces it.
        EXPECT_TRUE(mode.translate((dir + "/s.scn").c_str(), output.c_str())) << mode.flag;
        EXPECT_NE(readFile(output), kEarlier) << mode.flag;
    }
    textFlush(console());
    textOpen(console(), stdout);
    std::fclose(quiet);
}

// Standard output as the output file, on a pipe and on a terminal-less
// file alike: written where it is, never replaced.
TEST(AtomicOutput, StandardOutputIsWrittenInPlace) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 1\n");
    const std::string vrml = "#VRML V1.0 ascii\nSphere {\n radius 1.000000 }\n";
    const RunResult piped = runProgram({"/bin/sh", "-c", "\"$@\" | cat", "sh", MIROVAN_BINARY,
                                        "-vrml", dir + "/s.scn", "/dev/stdout"});
    EXPECT_EQ(piped.status, 0);
    EXPECT_NE(piped.out.find(vrml), std::string::npos);
    EXPECT_NE(piped.out.find("\nSphere 1.000000\n"), std::string::npos);
    const RunResult r = runProgram({"/bin/sh", "-c", "exec \"$@\" > " + dir + "/stdout.txt", "sh",
                                    MIROVAN_BINARY, "-vrml", dir + "/s.scn", "/dev/stdout"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(readFile(dir + "/stdout.txt").find(vrml), std::string::npos);
    EXPECT_NE(readFile(dir + "/stdout.txt").find("\nSphere 1.000000\n"), std::string::npos);
}

// A link is followed: the file it names is replaced, the link stays, even
// when it names a file that does not exist yet.
TEST(AtomicOutput, SymbolicLinksAreFollowed) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 1\n");
    std::filesystem::create_directory(dir + "/real");
    writeFile(dir + "/real/out.wrl", kEarlier);
    std::filesystem::create_symlink("real/out.wrl", dir + "/link.wrl");
    std::filesystem::create_symlink("real/new.wrl", dir + "/dangling.wrl");
    for (const char* link : {"/link.wrl", "/dangling.wrl"}) {
        EXPECT_EQ(runProgram({MIROVAN_BINARY, "-vrml", dir + "/s.scn", dir + link}).status, 0);
        EXPECT_TRUE(std::filesystem::is_symlink(dir + link)) << link;
        EXPECT_EQ(readFile(dir + link), "#VRML V1.0 ascii\nSphere {\n radius 1.000000 }\n");
    }
    EXPECT_EQ(entriesIn(dir + "/real"), 2u);
}

// A new output gets 0666 less the umask; an existing one keeps its mode.
TEST(AtomicOutput, PermissionsAreThoseOfAPlainlyWrittenFile) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 1\n");
    const RunResult r = runProgram({"/bin/sh", "-c", "umask 027; exec \"$@\"", "sh", MIROVAN_BINARY,
                                    "-opengl", dir + "/s.scn", dir + "/new.cpp"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(modeOf(dir + "/new.cpp"), 0640u);
    writeFile(dir + "/kept.cpp", kEarlier);
    ASSERT_EQ(::chmod((dir + "/kept.cpp").c_str(), 0604), 0);
    EXPECT_EQ(runProgram({MIROVAN_BINARY, "-opengl", dir + "/s.scn", dir + "/kept.cpp"}).status, 0);
    EXPECT_EQ(modeOf(dir + "/kept.cpp"), 0604u);
    EXPECT_NE(readFile(dir + "/kept.cpp"), kEarlier);
}
