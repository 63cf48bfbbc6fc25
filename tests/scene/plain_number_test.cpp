// The one-step number reader against the C library: long mantissas,
// exponents, halfway cases of both precisions, each followed by room enough
// for the one-step path, compared with fscanf's value and consumption and
// printf's "%f" text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "scanner.h"
#include "scene/fixed.h"

namespace {

// Reads `number` both ways; empty when they agree. `fast` counts the
// numbers the one-step path took.
std::string compare(const std::string& number, bool single, int& fast) {
    const std::string input = number + " " + std::string(64, ' ') + "Cube";
    std::FILE* file = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    double expected = 0;
    float expectedSingle = 0;
    const bool libc = single ? std::fscanf(file, "%f", &expectedSingle) == 1
                             : std::fscanf(file, "%lf", &expected) == 1;
    if (single) expected = expectedSingle;
    const long libcConsumed = std::ftell(file);
    std::fclose(file);

    scanOpenMemory(input.data(), input.size());
    double value = 0;
    FixedText text;
    const bool ours = scanPlainNumber(single, value, text);
    const auto consumed = static_cast<long>(scanConsumed());
    scanClose();
    if (!ours) return "";  // left to the general reader, checked elsewhere
    ++fast;
    char printed[400];
    std::snprintf(printed, sizeof printed, "%f", expected);
    if (!libc) return "fscanf converted nothing";
    if (std::memcmp(&value, &expected, sizeof value) != 0) return "value";
    if (std::string(text.text, text.length) != printed) return std::string("text, not ") + printed;
    if (consumed != libcConsumed) return "bytes taken";
    return "";
}

std::string digits(std::mt19937& random, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
}

void expectAgreement(const std::string& number, int& fast) {
    for (bool single : {false, true}) {
        const std::string failure = compare(number, single, fast);
        ASSERT_TRUE(failure.empty())
            << number << (single ? " (float): " : " (double): ") << failure;
    }
}

}  // namespace

TEST(PlainNumbers, LongMantissasAndExponents) {
    std::mt19937 random(21);
    int fast = 0;
    for (int i = 0; i < 60000; ++i) {
        std::string number = random() % 3 == 0 ? "-" : random() % 8 == 0 ? "+" : "";
        number += digits(random, static_cast<int>(random() % 21));
        if (random() % 4) number += "." + digits(random, static_cast<int>(random() % 21));
        if (random() % 3 == 0) {
            number += random() % 2 ? "e" : "E";
            number += random() % 3 == 0 ? "-" : random() % 3 == 0 ? "+" : "";
            number += digits(random, static_cast<int>(random() % 4));
        }
        expectAgreement(number, fast);
    }
    EXPECT_GT(fast, 40000);  // most of them take the one-step path
}

// Decimals that lie exactly, or all but exactly, halfway between two floats
// or two doubles: the cases where rounding twice would go wrong.
TEST(PlainNumbers, HalfwayCases) {
    std::mt19937 random(22);
    int fast = 0;
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        // Integers up to 19 digits halfway between doubles (above 2^53) or
        // between floats (above 2^24), and their neighbours.
        const int bits = 25 + static_cast<int>(random() % 39);
        const unsigned long long halfway =
            ((static_cast<unsigned long long>(random()) << 32 | random()) >> (64 - bits) |
             1ull << (bits - 1)) |
            1;
        for (long long delta : {-1, 0, 1}) {
            std::snprintf(text, sizeof text, "%llu",
                          halfway + static_cast<unsigned long long>(delta));
            expectAgreement(text, fast);
        }
        // Floats' halfway points written with up to 19 digits.
        const float f =
            std::ldexp(static_cast<float>(random() % (1 << 24)), -static_cast<int>(random() % 40));
        const double between = (static_cast<double>(f) + std::nextafter(f, 2 * f + 1)) / 2;
        std::snprintf(text, sizeof text, "%.*e", static_cast<int>(random() % 19), between);
        expectAgreement(text, fast);
    }
    EXPECT_GT(fast, 30000);
}
