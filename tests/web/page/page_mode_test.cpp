// -html through the real program: banner, echo, exit status and messages
// as the translators give them, a page that names nothing outside itself,
// and the scene's tables in it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "common/run.h"

namespace {

struct PageRun {
    RunResult run;
    std::string page;
};

PageRun makePage(const std::string& scene) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", scene);
    PageRun p{runProgram({MIROVAN_BINARY, "-html", dir + "/s.scn", dir + "/s.html"}), ""};
    p.page = readFile(dir + "/s.html");
    EXPECT_EQ(p.run.out.substr(0, p.run.out.find('\n') + 1),
              "HTML " + dir + "/s.scn " + dir + "/s.html\n");
    p.run.out = p.run.out.substr(p.run.out.find('\n') + 1);
    return p;
}

// The scene's data as the page reads it: base64 between the data element's
// tags, decoded into 32-bit little-endian words.
std::vector<std::uint32_t> sceneWords(const std::string& page) {
    const std::string open = "id=\"scene\">";
    const std::size_t from = page.find(open) + open.size(), to = page.find('<', from);
    const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    unsigned bits = 0, held = 0;
    for (std::size_t i = from; i < to && page[i] != '='; ++i) {
        bits = (bits << 6) | static_cast<unsigned>(digits.find(page[i]));
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes += static_cast<char>((bits >> held) & 0xff);
        }
    }
    std::vector<std::uint32_t> words(bytes.size() / 4);
    for (std::size_t w = 0; w < words.size(); ++w)
        for (int b = 3; b >= 0; --b)
            words[w] = (words[w] << 8) | static_cast<unsigned char>(bytes[w * 4 + b]);
    return words;
}

}  // namespace

TEST(PageMode, EchoAndSelfContainedPage) {
    PageRun p = makePage("Push\nSphere 1\nbogus\nPop\nPop\nCube 1 2 3");
    EXPECT_EQ(p.run.status, 0);
    EXPECT_EQ(p.run.out, "Push\nSphere 1.000000\n\nPop\nPop\nCube 1.000000 2.000000 3.000000\n");
    EXPECT_EQ(p.page.rfind("<!DOCTYPE html>\n", 0), 0u);
    EXPECT_EQ(p.page.substr(p.page.size() - 8), "</html>\n");
    EXPECT_NE(p.page.find("<title>s.scn - Mirovan</title>"), std::string::npos);
    // Nothing fetched: no source, link or address in the page.
    for (const char* outside : {"src=", "href=", "://", "<link", "import(", "fetch(", "XMLHttp"})
        EXPECT_EQ(p.page.find(outside), std::string::npos) << outside;
}

TEST(PageMode, SolidsOfOneKindShareAMesh) {
    // Three spheres, two boxes and two cones (whose normals lean another
    // way) of other sizes: three meshes, seven solids; scales 1 (the first
    // of each kind), 2, (4 2 1.33) on the second box and (3 0.5 3) on the
    // second cone.
    PageRun p = makePage(
        "Sphere 1 Sphere 2 Translation 1 2 3 Sphere 1 Cube 1 2 3 Cube 4 4 4 Cone 1 2 Cone 3 1");
    const std::vector<std::uint32_t> w = sceneWords(p.page);
    ASSERT_GE(w.size(), 9u);
    EXPECT_EQ(w[0], 0x5052494du);  // "MIRP"
    EXPECT_EQ(w[1], 2u);
    EXPECT_EQ(w[2], 3u);  // meshes
    EXPECT_EQ(w[3], 4u);  // scales
    EXPECT_EQ(w[5], 2u);  // translations
    EXPECT_EQ(w[8], 7u);  // solids
}

TEST(PageMode, FailuresAsTheTranslators) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 1\n");
    writeFile(dir + "/old.html", "earlier");
    RunResult missing = runProgram({MIROVAN_BINARY, "-html", dir + "/none.scn", dir + "/old.html"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "HTML " + dir + "/none.scn " + dir + "/old.html\n" + dir +
                               "/none.scn n'existe pas!!!\n");
    EXPECT_EQ(readFile(dir + "/old.html"), "earlier");

    const std::string unwritable = dir + "/no/such/dir/s.html";
    RunResult cannot = runProgram({MIROVAN_BINARY, "-html", dir + "/s.scn", unwritable});
    EXPECT_EQ(cannot.status, 1);
    EXPECT_EQ(cannot.out, "HTML " + dir + "/s.scn " + unwritable + "\n" + unwritable +
                              " ne peut pas etre cree!!!\n");

    RunResult full = runProgram({MIROVAN_BINARY, "-html", dir + "/s.scn", "/dev/full"});
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.out, "HTML " + dir +
                            "/s.scn /dev/full\nSphere 1.000000\n/dev/full ne peut pas "
                            "etre ecrit!!!\n");
}
