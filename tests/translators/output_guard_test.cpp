// Replacing the output behaves as writing it would: refused where writing
// is refused, links and hard links kept, the earlier output kept whatever
// the name or the room left, and no new file left behind by a signal.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/run.h"
#include "scanner_testing.h"
#include "scene/console.h"
#include "translators/translators.h"
#include "output_files.h"
#include "output/in_place_seam.h"

namespace {

namespace fs = std::filesystem;

const std::string kSphereVrml = "#VRML V1.0 ascii\nSphere {\n radius 1.000000 }\n";
constexpr uid_t kNobody = 65534;

struct stat infoOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

// A scratch folder on a tmpfs of its own, or "" without the right to mount.
std::string smallDisk(const std::string& options) {
    const std::string disk = scratchDirectory() + "/disk";
    fs::create_directory(disk);
    return ::mount("tmpfs", disk.c_str(), "tmpfs", 0, options.c_str()) == 0 ? disk : "";
}

// mirovan run as another user than the one who owns the files: nobody,
// when the tests run as root.
RunResult runAsNobody(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                     "--clear-groups", MIROVAN_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv);
}

}  // namespace

// A name of 250 bytes still gets a new file beside it: on a full disk the
// earlier output stays, and with room the output is replaced.
TEST(OutputGuard, LongNameOnAFullDiskKeepsTheEarlierOutput) {
    const std::string disk = smallDisk("size=128k");
    if (disk.empty()) GTEST_SKIP() << "no right to mount a tmpfs here";
    const std::string dir = scratchDirectory(),
                      output = disk + "/" + std::string(246, 'o') + ".wrl";
    writeFile(dir + "/big.scn", manyCubes(2000));
    writeFile(dir + "/small.scn", "Sphere 1\n");
    writeFile(output, kEarlier);
    const RunResult r = runProgram({MIROVAN_BINARY, "-vrml", dir + "/big.scn", output});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(output + " ne peut pas etre ecrit!!!\n"), std::string::npos);
    EXPECT_EQ(readFile(output), kEarlier);
    EXPECT_EQ(entriesIn(disk), 1u);
    EXPECT_EQ(runProgram({MIROVAN_BINARY, "-vrml", dir + "/small.scn", output}).status, 0);
    EXPECT_EQ(readFile(output), kSphereVrml);
    EXPECT_EQ(entriesIn(disk), 1u);
    ::umount(disk.c_str());
}

// A folder that takes no new file (no inode left): the output is written
// over in place when there is room, and kept whole when there is not.
TEST(OutputGuard, FolderTakingNoNewFileWritesInPlaceOrKeeps) {
    const std::string disk = smallDisk("size=128k,nr_inodes=8");
    if (disk.empty()) GTEST_SKIP() << "no right to mount a tmpfs here";
    const std::string dir = scratchDirectory(), output = disk + "/out.wrl";
    writeFile(dir + "/big.scn", manyCubes(2000));
    writeFile(dir + "/small.scn", "Sphere 1\n");
    writeFile(output, kEarlier);
    for (int k = 0; fs::exists(output) && k < 100; ++k) {
        std::FILE* filler = std::fopen((disk + "/filler" + std::to_string(k)).c_str(), "w");
        if (filler == nullptr) break;
        std::fclose(filler);
    }
    const std::size_t entries = entriesIn(disk);
    const RunResult r = runProgram({MIROVAN_BINARY, "-vrml", dir + "/big.scn", output});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(" ne peut pas etre ecrit!!!\n"), std::string::npos);
    EXPECT_EQ(readFile(output), kEarlier);
    const ino_t inode = infoOf(output).st_ino;
    EXPECT_EQ(runProgram({MIROVAN_BINARY, "-vrml", dir + "/small.scn", output}).status, 0);
    EXPECT_EQ(readFile(output), kSphereVrml);
    EXPECT_EQ(infoOf(output).st_ino, inode);
    EXPECT_EQ(entriesIn(disk), entries);
    ::umount(disk.c_str());
}

// Both names of a hard-linked output see the new text, or, when the
// translation fails, the earlier one.
TEST(OutputGuard, HardLinksAreKept) {
    const std::string dir = scratchDirectory(), output = dir + "/out.wrl";
    writeFile(dir + "/s.scn", "Sphere 1\n");
    writeFile(dir + "/big.scn", manyCubes(4000));
    writeFile(output, kEarlier);
    fs::create_hard_link(output, dir + "/other.wrl");
    EXPECT_EQ(runProgram({MIROVAN_BINARY, "-vrml", dir + "/s.scn", output}).status, 0);
    EXPECT_EQ(infoOf(output).st_nlink, 2u);
    EXPECT_EQ(readFile(dir + "/other.wrl"), kSphereVrml);

    std::FILE* quiet = std::fopen("/dev/null", "w");
    textOpen(console(), quiet);
    scanFailReadsFrom(1 << 16);
    EXPECT_FALSE(VrmlTranslator((dir + "/big.scn").c_str(), output.c_str()));
    scanFailReadsFrom(UINT64_MAX);
    textFlush(console());
    textOpen(console(), stdout);
    std::fclose(quiet);
    EXPECT_EQ(readFile(dir + "/other.wrl"), kSphereVrml);
    EXPECT_EQ(infoOf(output).st_nlink, 2u);
    EXPECT_EQ(entriesIn(dir), 4u);
}

// A hard-linked output is written over in place: when that write is cut
// short, inside the earlier content or past its end, the earlier content is
// put back, at its own length, under both names.
TEST(OutputGuard, CutInPlaceWritePutsTheEarlierContentBack) {
    const std::string dir = scratchDirectory(), output = dir + "/out.wrl";
    writeFile(dir + "/s.scn", manyCubes(1000));  // some 100 KB translated
    for (const std::string& earlier : {kEarlier, std::string(40000, 'e')})
        for (const long long cut : {0LL, 10LL, 30000LL, 70000LL}) {
            writeFile(output, earlier);
            fs::remove(dir + "/other.wrl");
            fs::create_hard_link(output, dir + "/other.wrl");
            std::FILE* quiet = std::fopen("/dev/null", "w");
            textOpen(console(), quiet);
            setInPlaceFailureAfter(cut);
            const bool translated = VrmlTranslator((dir + "/s.scn").c_str(), output.c_str());
            setInPlaceFailureAfter(-1);
            textFlush(console());
            textOpen(console(), stdout);
            std::fclose(quiet);
            EXPECT_FALSE(translated) << earlier.size() << " cut at " << cut;
            EXPECT_TRUE(readFile(dir + "/other.wrl") == earlier)
                << earlier.size() << " cut at " << cut;
            EXPECT_EQ(infoOf(output).st_nlink, 2u);
            EXPECT_EQ(entriesIn(dir), 3u);
        }
}

TEST(OutputGuard, LoopOfLinksIsAnError) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 1\n");
    fs::create_symlink("b.wrl", dir + "/a.wrl");
    fs::create_symlink("a.wrl", dir + "/b.wrl");
    const RunResult r = runProgram({MIROVAN_BINARY, "-vrml", dir + "/s.scn", dir + "/a.wrl"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(dir + "/a.wrl ne peut pas etre cree!!!\n"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(dir + "/a.wrl"));
    EXPECT_TRUE(fs::is_symlink(dir + "/b.wrl"));
    EXPECT_EQ(entriesIn(dir), 3u);
}

// What its user may not write is refused, as writing in place would refuse
// it: a read-only file, another user's file in a sticky folder. Another
// user's file that anyone may write is written over, its owner kept.
TEST(OutputGuard, OutputsTheUserMayNotWriteAreRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run mirovan as another user (nobody)";
    const std::string dir = scratchDirectory();
    ASSERT_EQ(::chmod(dir.c_str(), 01777), 0);  // sticky, as /tmp
    writeFile(dir + "/s.scn", "Sphere 1\n");
    struct Case {
        const char* name;
        mode_t mode;
        uid_t owner;
        bool refused;
    };
    for (const Case& c : {Case{"readonly.wrl", 0444, kNobody, true},
                          Case{"foreign.wrl", 0644, 0, true}, Case{"shared.wrl", 0666, 0, false}}) {
        const std::string output = dir + "/" + c.name;
        writeFile(output, kEarlier);
        ASSERT_EQ(::chown(output.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(::chmod(output.c_str(), c.mode), 0);
        const RunResult r = runAsNobody({"-vrml", dir + "/s.scn", output});
        EXPECT_EQ(r.status, c.refused ? 1 : 0) << c.name << r.out << r.err;
        if (c.refused) {
            EXPECT_NE(r.out.find(output + " ne peut pas etre cree!!!\n"), std::string::npos);
            EXPECT_EQ(readFile(output), kEarlier) << c.name;
        } else {
            EXPECT_EQ(readFile(output), kSphereVrml) << c.name;
        }
        EXPECT_EQ(infoOf(output).st_uid, c.owner) << c.name;
        EXPECT_EQ(infoOf(output).st_mode & 07777, c.mode) << c.name;
    }
    EXPECT_EQ(entriesIn(dir), 4u);
}

// A translation ended by SIGPIPE (its echo into a closed pipe), SIGTERM,
// SIGINT or SIGHUP leaves no new file beside the output.
TEST(OutputGuard, EndingSignalsLeaveNoNewFile) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/big.scn", manyCubes(20000));  // an echo far larger than a pipe holds
    const RunResult piped =
        runProgram({"/bin/sh", "-c", "\"$@\" | head -c 10", "sh", MIROVAN_BINARY, "-vrml",
                    dir + "/big.scn", dir + "/out.wrl"});
    EXPECT_EQ(piped.out.size(), 10u);
    EXPECT_EQ(entriesIn(dir), 1u);

    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        int echo[2];
        ASSERT_EQ(::pipe(echo), 0);
        const std::string output = dir + "/out.wrl", scene = dir + "/big.scn";
        const pid_t child = ::fork();
        if (child == 0) {
            for (const int s : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) std::signal(s, SIG_DFL);
            ::dup2(echo[1], 1);
            ::execl(MIROVAN_BINARY, MIROVAN_BINARY, "-vrml", scene.c_str(), output.c_str(),
                    nullptr);
            ::_exit(127);
        }
        ::close(echo[1]);
        // Its echo fills the pipe nobody reads: it waits there, new file open.
        bool started = false;
        for (int k = 0; k < 1000 && !started; ++k) {
            started = entriesIn(dir) == 2;
            if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_TRUE(started) << "no new file appeared";
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(echo[0]);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(entriesIn(dir), 1u) << signal;
    }
}
