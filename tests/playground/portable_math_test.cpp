// The WebAssembly build's stand-ins for what its libraries lack or do
// otherwise, checked here natively against the C and C++ libraries they
// stand in for: float sine and cosine bit for bit, and the shortest float
// text character for character.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "float_trig.h"

namespace mirovan_wasm {
char* shortestFloat(char* first, char* last, float value);
}

namespace {

std::uint32_t bitsOf(float x) {
    std::uint32_t u;
    std::memcpy(&u, &x, sizeof u);
    return u;
}

float floatOf(std::uint32_t u) {
    float x;
    std::memcpy(&x, &u, sizeof x);
    return x;
}

// The angle a rotation takes, as the evaluation turns degrees into radians.
float radians(double degrees) {
    return static_cast<float>(degrees * 3.14159265358979323846 / 180.0);
}

TEST(PortableMath, SineAndCosineOfEveryWholeAndHalfDegreeAreTheCLibrarys) {
    int differences = 0;
    for (int half = -1440; half <= 1440; ++half) {
        const float x = radians(half / 2.0);
        if (bitsOf(nativeSine(x)) != bitsOf(std::sin(x))) ++differences;
        if (bitsOf(nativeCosine(x)) != bitsOf(std::cos(x))) ++differences;
    }
    EXPECT_EQ(differences, 0);
}

// Every 61st float up to 120 radians, where the fast reduction works (the
// polynomials near 0 and every quadrant), and the specials.
TEST(PortableMath, SineAndCosineOfSpreadFloatsAreTheCLibrarys) {
    int differences = 0, compared = 0;
    for (std::uint32_t u = 0; floatOf(u) < 120.0f; u += 61) {
        for (const float x : {floatOf(u), -floatOf(u)}) {
            differences += bitsOf(nativeSine(x)) != bitsOf(std::sin(x));
            differences += bitsOf(nativeCosine(x)) != bitsOf(std::cos(x));
            compared += 2;
        }
    }
    EXPECT_EQ(differences, 0) << "of " << compared;
    EXPECT_TRUE(std::isnan(nativeSine(INFINITY)));
    EXPECT_TRUE(std::isnan(nativeCosine(NAN)));
}

std::string shortest(float value) {
    char text[64];
    return {text, mirovan_wasm::shortestFloat(text, text + sizeof text, value)};
}

std::string library(float value) {
    char text[64];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

TEST(PortableMath, ShortestFloatTextIsTheLibrarys) {
    std::mt19937 random(23);
    int differences = 0;
    std::string first;
    auto check = [&](float v) {
        if (std::isnan(v)) return;
        if (shortest(v) != library(v)) {
            if (differences++ == 0) first = shortest(v) + " for " + library(v);
        }
    };
    for (int i = 0; i < 400000; ++i) check(floatOf(static_cast<std::uint32_t>(random())));
    // Whole numbers past 2^24 (written with every digit), powers of two
    // and their neighbours, short decimals.
    for (std::uint32_t i = 0; i < (1u << 30); i += 997) check(static_cast<float>(i) * 3.0f);
    for (int e = -149; e < 128; ++e)
        for (float toward : {0.0f, INFINITY}) {
            const float p = std::ldexp(1.0f, e);
            check(p), check(std::nextafter(p, toward)), check(-p);
        }
    for (int i = -20000; i <= 20000; ++i) check(static_cast<float>(i) / 1000.0f);
    check(0.0f), check(-0.0f), check(INFINITY), check(-INFINITY);
    EXPECT_EQ(differences, 0) << "first: " << first;
    char small[3];
    EXPECT_EQ(mirovan_wasm::shortestFloat(small, small + sizeof small, 1.5f), small + 3);
    EXPECT_EQ(mirovan_wasm::shortestFloat(small, small + sizeof small, 1.25f), nullptr);
}

}  // namespace
