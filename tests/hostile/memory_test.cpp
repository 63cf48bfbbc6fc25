// Huge tokens and numbers: memory stays flat whatever their length, and a
// number thousands of digits long still reads exactly as fscanf reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "scanner.h"
#include "common/run.h"

namespace {

// Peak resident memory of one run of the program, in kilobytes.
long peakKilobytes(const std::string& scene) {
    const RunResult r =
        runProgram({MIROVAN_PEAK_MEMORY, MIROVAN_BINARY, "-vrml", scene, scene + ".wrl"});
    return r.status == 0 ? std::stol(r.out) : -1;
}

// The scene file written a piece at a time, so that this program stays small.
void writeScene(const std::string& path, const std::string& head, char fill, std::size_t count,
                const std::string& tail) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(head.c_str(), f);
    const std::string block(1 << 16, fill);
    for (std::size_t done = 0; done < count; done += block.size())
        std::fwrite(block.data(), 1, std::min(block.size(), count - done), f);
    std::fputs(tail.c_str(), f);
    ASSERT_EQ(std::fclose(f), 0);
}

TEST(HugeInput, PeakMemoryDoesNotGrowWithTokenOrNumberLength) {
    const std::string dir = scratchDirectory();
    const std::size_t big = 50u << 20;
    const struct {
        const char* name;
        const char* head;
        char fill;
        std::size_t count;
        const char* tail;
    } scenes[] = {
        {"small", "Cube 1 2 3", ' ', 1, "\n"},
        {"token-1mb", "", 'x', 1 << 20, " Cube 1 2 3\n"},
        {"number-100k-digits", "Cube ", '7', 100000, " 2 3\n"},
        {"token-50mb", "", 'x', big, " Cube 1 2 3\n"},
        {"number-50mb", "Cube ", '7', big, " 2 3\n"},
        {"fraction-50mb", "Cube 0.", '0', big, "1e50000000 2 3\n"},
    };
    long baseline = 0;
    for (const auto& scene : scenes) {
        const std::string path = dir + "/" + scene.name + ".scn";
        writeScene(path, scene.head, scene.fill, scene.count, scene.tail);
        const long peak = peakKilobytes(path);
        ASSERT_GT(peak, 0) << scene.name;
        if (baseline == 0) baseline = peak;
        std::cerr << scene.name << ": peak " << peak << " kB\n";
        EXPECT_LT(peak, baseline + 4 * 1024) << scene.name << " grows memory with its length";
        std::remove(path.c_str());
    }
}

std::string repeat(char c, std::size_t n) { return std::string(n, c); }

// The exact decimal of a value between two neighbouring doubles: what
// rounds to even, and what a single digit thousands of places later tips.
std::string exactDecimal(long double value) {
    char text[1400];
    std::snprintf(text, sizeof text, "%.1200Le", value);
    return text;
}

// Reads `text` with fscanf and with the scanner in both precisions: same
// values bit for bit, same bytes consumed.
void expectSameAsFscanf(const std::string& text) {
    for (int single = 0; single < 2; ++single) {
        std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
        ASSERT_NE(file, nullptr);
        scanOpenMemory(text.data(), text.size());
        double want = 0, got = 0;
        float wantSingle = 0, gotSingle = 0;
        const bool libc = single ? std::fscanf(file, "%f", &wantSingle) == 1
                                 : std::fscanf(file, "%lf", &want) == 1;
        const bool ours = single ? scanFloat(gotSingle) : scanDouble(got);
        if (single) want = wantSingle, got = gotSingle;
        EXPECT_EQ(libc, ours) << text.substr(0, 60);
        EXPECT_EQ(std::memcmp(&want, &got, sizeof want), 0)
            << text.substr(0, 60) << "... (" << text.size() << " bytes, " << (single ? "%f" : "%lf")
            << "): fscanf " << want << ", scanner " << got;
        EXPECT_EQ(static_cast<std::uint64_t>(std::ftell(file)), scanConsumed())
            << text.substr(0, 60);
        std::fclose(file);
        scanClose();
    }
}

TEST(HugeInput, LongNumbersReadExactlyAsFscanf) {
    const std::size_t n = 5000;
    const std::string midpoint =
        exactDecimal(5.0L * std::ldexp(1.0L, -1075));  // 2.5 subnormal steps
    const std::string mantissa = midpoint.substr(0, midpoint.find('e'));
    const std::string exponent = midpoint.substr(midpoint.find('e'));
    const std::string cases[] = {
        repeat('7', 100000),
        "-" + repeat('0', n) + "123.5",
        "0." + repeat('0', n) + "1e" + std::to_string(n + 1),
        "0." + repeat('0', n) + "1e-300",
        "9007199254740993." + repeat('0', n),        // 2^53 + 1: a tie, to even
        "9007199254740993." + repeat('0', n) + "1",  // just above the tie
        "16777217." + repeat('0', n),                // the same in single precision
        "16777217." + repeat('0', n) + "1",
        mantissa + repeat('0', n) + exponent,  // the subnormal tie
        mantissa + repeat('0', n) + "1" + exponent,
        "1" + repeat('9', n) + "e-5000",
        "1e" + repeat('0', n) + "5",
        "1e" + repeat('9', 40),
        "1e-" + repeat('9', 40),
        "-0." + repeat('0', n),
        "0x" + repeat('0', n) + "1.8p" + repeat('0', n) + "3",
        "0x1." + repeat('f', n) + "p0",
        "0x1." + repeat('0', n) + "1p-1074",
        "-0x0." + repeat('0', n) + "p5",
        "0x" + repeat('F', n) + "p-" + std::to_string(4 * n - 40),
        repeat('1', 3000) + "." + repeat('2', 3000) + "e-3200 x",
    };
    for (const std::string& text : cases) expectSameAsFscanf(text);
}

}  // namespace
