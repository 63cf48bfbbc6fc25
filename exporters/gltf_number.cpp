#include "gltf_number.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

const double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
const double kTens[] = {1e-3, 1e-2, 1e-1, 1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};  // from 10^-3

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

// Branches on the digits would go either way at random, node after node:
// the number is put together with comparisons and moves instead.
char* printShortFloat(char* at, float value) {
    double v = value;
    if (v == 0) {
        *at++ = '0';
        return at;
    }
    *at = '-';
    at += v < 0;
    v = std::fabs(v);
    if (!(v >= 1e-3 && v < 1e6)) return printExactFloat(at, static_cast<float>(v));
    // Decimals to keep seven significant digits: 6 - floor(log10 v). With
    // v in [2^k, 2^(k+1)), floor(log10 v) is floor(k log10 2) or one more.
    // (No float lies between a power of ten and the double nearest it.)
    const int k = static_cast<int>((std::bit_cast<std::uint32_t>(value) >> 23) & 0xff) - 127;
    int exponent = (k * 78913) >> 18;  // floor(k log10 2) for |k| < 1000
    exponent += v >= kTens[exponent + 4];
    int decimals = 6 - exponent;
    // Seven digits, or eight when rounding carried into a new one.
    const auto n = static_cast<std::uint32_t>(v * kPowers[decimals] + 0.5);
    char eight[9];  // the ninth is read, never used, when seven digits are copied
    putEightDigits(eight, n);
    eight[8] = '0';
    const int shorter = n < 10000000;
    int count = 8 - shorter;
    // Trailing zeros of the decimals go: the zero characters at the end of
    // the eight, found at once.
    std::uint64_t word;
    std::memcpy(&word, eight, 8);
    word ^= 0x3030303030303030ull;  // '0' becomes 0
    const int trailing = (std::endian::native == std::endian::little ? std::countl_zero(word)
                                                                     : std::countr_zero(word)) /
                         8;
    const int dropped = std::min(trailing, decimals);
    count -= dropped, decimals -= dropped;
    // Below 1, zeros go in front ("0.00" and the digits); the digits before
    // the point then always number `whole` (at least one).
    const int pad = std::max(0, decimals - count + 1);
    char text[32];
    std::memcpy(text, "0000", 4);
    std::memcpy(text + pad, eight + shorter, 8);
    const int whole = count + pad - decimals;
    std::memcpy(at, text, 8);
    at += whole;
    *at = '.';
    std::memcpy(at + 1, text + whole, 16);
    return at + decimals + (decimals > 0);
}
