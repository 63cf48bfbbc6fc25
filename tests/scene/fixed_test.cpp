// "%f" formatting against the C library's printf, bit pattern by bit pattern.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "scene/fixed.h"

namespace {

std::string ours(double value) {
    char text[kFixedMaxLength + 1];
    char* end = formatFixed(text, value);
    return std::string(text, end);
}

// The C library's digits; its NaN spelling is glibc's on every platform
// (mingw's writes a negative NaN as "nan").
std::string libc(double value) {
#ifdef _WIN32
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
#endif
    char text[400];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

}  // namespace

TEST(FixedFormat, SpecialValuesAndTies) {
    const double cases[] = {
        0.0,
        -0.0,
        1.0,
        -0.5,
        0.0078125,
        0.0234375,
        1.0000005,
        2.5e-7,
        4.9e-7,
        5e-7,
        1.5e-6,
        0.9999995,
        0.99999949999999,
        999999.9999995,
        1234.5678,
        16777217.0,
        static_cast<float>(1234.5678),
        -1e-9,
        9007199254740991.0,
        9007199254740992.0,
        1e308,
        -1e308,
        std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::max(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
        -std::numeric_limits<double>::quiet_NaN(),
    };
    for (double v : cases) EXPECT_EQ(ours(v), libc(v)) << "value " << v;
}

TEST(FixedFormat, NonFiniteSpelledAlike) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ours(nan), "nan");
    EXPECT_EQ(ours(-nan), "-nan");
    EXPECT_EQ(ours(std::copysign(std::nan("7"), -1.0)), "-nan");
    EXPECT_EQ(ours(inf), "inf");
    EXPECT_EQ(ours(-inf), "-inf");
    EXPECT_EQ(ours(0x1p63), "9223372036854775808.000000");
    EXPECT_EQ(ours(-1e22), "-10000000000000000000000.000000");
}

TEST(FixedFormat, ExactTiesRoundToEven) {
    // k / 2^7 has exactly seven decimals: the seventh is a 5, a true tie.
    for (int k = 0; k < 4096; ++k) {
        const double v = k / 128.0 + (k % 7);
        ASSERT_EQ(ours(v), libc(v)) << v;
        ASSERT_EQ(ours(-v), libc(-v)) << -v;
    }
}

TEST(FixedFormat, RandomBitPatterns) {
    std::mt19937_64 random(3);
    for (int i = 0; i < 200000; ++i) {
        double v;
        std::uint64_t bits = random();
        if (i % 2) {  // keep the exponent in the range where digits matter
            bits = (bits & 0x800FFFFFFFFFFFFFull) |
                   (static_cast<std::uint64_t>(1023 - 30 + random() % 90) << 52);
        }
        std::memcpy(&v, &bits, sizeof v);
        ASSERT_EQ(ours(v), libc(v)) << std::hexfloat << v;
    }
}

TEST(FixedFormat, EveryFloatNearSixDecimals) {
    std::mt19937 random(4);
    for (int i = 0; i < 100000; ++i) {
        const float f = static_cast<float>(static_cast<int>(random() % 20000000) - 10000000) / 1e6f;
        ASSERT_EQ(ours(f), libc(f)) << f;
    }
}

// Values of at most 39 significant bits, floats among them, take a shorter
// way: every exponent where it applies, and its edges.
TEST(FixedFormat, FewSignificantBitsAtEveryExponent) {
    std::mt19937_64 random(5);
    for (int i = 0; i < 200000; ++i) {
        const int keep = 1 + static_cast<int>(random() % 39);
        const std::uint64_t significand = (random() >> (64 - keep)) | 1;
        const double v =
            std::ldexp(static_cast<double>(significand), static_cast<int>(random() % 140) - 100);
        ASSERT_EQ(ours(v), libc(v)) << std::hexfloat << v;
        ASSERT_EQ(ours(-v), libc(-v)) << std::hexfloat << -v;
    }
}
