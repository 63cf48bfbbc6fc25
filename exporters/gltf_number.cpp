#include "gltf_number.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

const double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};

// "00" .. "99": digits go out two at a time.
struct DigitPairs {
    char text[200];
    constexpr DigitPairs() : text() {
        for (int i = 0; i < 100; ++i)
            text[2 * i] = char('0' + i / 10), text[2 * i + 1] = char('0' + i % 10);
    }
};
constexpr DigitPairs kPairs;

// n (below 10^8) as eight digits, leading zeros included, two at a time.
void putEightDigits(char* out, std::uint32_t n) {
    const std::uint32_t high = n / 10000, low = n % 10000;
    std::memcpy(out, kPairs.text + 2 * (high / 100), 2);
    std::memcpy(out + 2, kPairs.text + 2 * (high % 100), 2);
    std::memcpy(out + 4, kPairs.text + 2 * (low / 100), 2);
    std::memcpy(out + 6, kPairs.text + 2 * (low % 100), 2);
}

}  // namespace

char* printExactFloat(char* at, float value) {
    return std::to_chars(at, at + 32, value == 0 ? 0.0f : value).ptr;
}

char* printShortFloat(char* at, float value) {
    double v = value;
    if (v == 0) {
        *at++ = '0';
        return at;
    }
    if (v < 0) *at++ = '-', v = -v;
    if (!(v >= 1e-3 && v < 1e6)) return printExactFloat(at, static_cast<float>(v));
    // Decimals to keep seven significant digits: 6 - floor(log10 v). The
    // products are exact (a float times a small power of ten fits a double).
    int decimals;
    if (v >= 1) {
        int whole = 1;  // digits before the point
        while (whole < 6 && v >= kPowers[whole]) ++whole;
        decimals = 7 - whole;
    } else {
        int zeros = 0;  // zeros after the point
        while (v * kPowers[zeros + 1] < 1) ++zeros;
        decimals = 7 + zeros;
    }
    // Seven digits, or eight when rounding carried into a new one. Copies
    // move eight characters at once (the caller's room is far larger); only
    // the characters counted are kept.
    const auto n = static_cast<std::uint32_t>(v * kPowers[decimals] + 0.5);
    char eight[16];
    putEightDigits(eight, n);
    const char* digits = n >= 10000000 ? eight : eight + 1;
    int count = n >= 10000000 ? 8 : 7;
    while (decimals > 0 && digits[count - 1] == '0') --count, --decimals;
    const int whole = count - decimals;
    if (whole <= 0) {
        *at++ = '0', *at++ = '.';
        for (int i = whole; i < 0; ++i) *at++ = '0';
        std::memcpy(at, digits, 8);
        return at + count;
    }
    std::memcpy(at, digits, 8);
    at += whole;
    if (decimals == 0) return at;
    *at++ = '.';
    std::memcpy(at, digits + whole, 8);
    return at + decimals;
}
