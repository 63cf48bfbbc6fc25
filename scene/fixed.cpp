#include "scene/fixed.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline char* putPair(char* out, unsigned pair) {
    std::memcpy(out, kDigitPairs + 2 * pair, 2);
    return out + 2;
}

int digitCount(std::uint64_t value) {
    int n = 1;
    for (; value >= 10000; value /= 10000) n += 4;
    return n + (value >= 10) + (value >= 100) + (value >= 1000);
}

char* putUnsigned(char* out, std::uint64_t value) {
    char* const end = out + digitCount(value);
    char* p = end;
    while (value >= 100) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (value % 100), 2);
        value /= 100;
    }
    if (value >= 10)
        std::memcpy(p - 2, kDigitPairs + 2 * value, 2);
    else
        p[-1] = static_cast<char>('0' + value);
    return end;
}

// fraction * 2^-shift (below 1) in millionths, rounded to nearest, ties to
// even, exactly: fraction * 10^6 * 2^-shift = fraction * 5^6 * 2^(6 - shift).
std::uint64_t millionths(std::uint64_t fraction, int shift) {
    const unsigned __int128 scaled = static_cast<unsigned __int128>(fraction) * 15625u;
    if (shift <= 6) return static_cast<std::uint64_t>(scaled << (6 - shift));
    const int down = shift - 6;
    if (down >= 68) return 0;  // scaled < 2^67: below half a millionth
    std::uint64_t quotient = static_cast<std::uint64_t>(scaled >> down);
    const unsigned __int128 remainder = scaled - (static_cast<unsigned __int128>(quotient) << down);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (down - 1);
    if (remainder > half || (remainder == half && (quotient & 1))) ++quotient;
    return quotient;
}

}  // namespace

char* formatFixed(char* out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased >= 1075 + 11) {
        // Rare: infinities, NaNs and values from 2^63 up take the C library's path.
        const int n = std::snprintf(out, kFixedMaxLength, "%f", value);
        return out + (n > 0 ? n : 0);
    }
    std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased != 0) significand |= std::uint64_t{1} << 52;
    const int exponent = (biased != 0 ? biased : 1) - 1075;  // value = significand * 2^exponent

    std::uint64_t whole = 0, fraction = 0;
    if (exponent >= 0) {
        whole = significand << exponent;
    } else {
        const int shift = -exponent;
        whole = shift < 64 ? significand >> shift : 0;
        const std::uint64_t fractionBits =
            shift < 64 ? significand & ((std::uint64_t{1} << shift) - 1) : significand;
        if (fractionBits != 0) fraction = millionths(fractionBits, shift);
        if (fraction >= 1000000) {
            fraction -= 1000000;
            ++whole;
        }
    }

    if (bits >> 63) *out++ = '-';
    out = putUnsigned(out, whole);
    *out++ = '.';
    const auto f = static_cast<unsigned>(fraction);
    out = putPair(out, f / 10000);
    out = putPair(out, f / 100 % 100);
    return putPair(out, f % 100);
}

void setFixedText(FixedText& fixed, double value) {
    fixed.length = static_cast<std::uint16_t>(formatFixed(fixed.text, value) - fixed.text);
}
