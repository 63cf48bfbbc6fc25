// The numbers of the glTF nodes: seven significant digits, the shortest
// text, no "-0", the exact form outside 1e-3 .. 1e6.
#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "gltf_number.h"

namespace {

std::string shortText(float value) {
    char text[64];
    return std::string(text, printShortFloat(text, value));
}

TEST(GltfNumbers, SevenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(shortText(1.346f), "1.346");
    EXPECT_EQ(shortText(-2.417312f), "-2.417312");
    EXPECT_EQ(shortText(0.6448968f), "0.6448968");
    EXPECT_EQ(shortText(0.01743584f), "0.01743584");
    EXPECT_EQ(shortText(0.001f), "0.001");
    EXPECT_EQ(shortText(123456.7f), "123456.7");
    EXPECT_EQ(shortText(20.0f), "20");
    EXPECT_EQ(shortText(0.5f), "0.5");
    EXPECT_EQ(shortText(3.14159265f), "3.141593");
}

TEST(GltfNumbers, RoundingThatCarriesIntoANewDigit) {
    EXPECT_EQ(shortText(0.0099999998f), "0.01");  // 0.00999999977648...
    EXPECT_EQ(shortText(1.9999999f), "2");        // 1.99999988...
    EXPECT_EQ(shortText(999999.94f), "999999.9");
}

TEST(GltfNumbers, ZeroAndTheEndsOfTheRange) {
    EXPECT_EQ(shortText(0.0f), "0");
    EXPECT_EQ(shortText(-0.0f), "0");
    EXPECT_EQ(shortText(1e6f), "1e+06");
    EXPECT_EQ(shortText(-3.4028235e38f), "-3.4028235e+38");
    EXPECT_EQ(shortText(0.000123f), "0.000123");
}

TEST(GltfNumbers, ReadBackWithinHalfAUnitOfTheSeventhDigit) {
    for (float value = 1.1e-3f; value < 9e5f; value *= 1.0137f) {
        const std::string text = shortText(value);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_NEAR(back, value, value * 5.01e-7) << text;
    }
}

}  // namespace
