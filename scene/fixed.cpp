#include "scene/fixed.h"

#include <cmath>
#include <cstdint>
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
    if (value < 10) {  // the most common whole part, at once
        *out = static_cast<char>('0' + value);
        return out + 1;
    }
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

char* putFixed(char* out, bool negative, std::uint64_t whole, unsigned fraction) {
    *out = '-';
    out += negative;
    out = putUnsigned(out, whole);
    *out++ = '.';
    out = putPair(out, fraction / 10000);
    out = putPair(out, fraction / 100 % 100);
    return putPair(out, fraction % 100);
}

// Spelled as glibc spells them, on every platform: the sign of a NaN shows
// (mingw's C library would write "-nan" as "nan").
char* putNonFinite(char* out, bool negative, bool nan) {
    *out = '-';
    out += negative;
    std::memcpy(out, nan ? "nan" : "inf", 3);
    return out + 3;
}

// From 2^63 up a double is a whole number of up to 309 digits: the
// significand times 2^exponent, worked out in base 10^9 pieces, lowest first.
char* putHuge(char* out, bool negative, std::uint64_t bits, int exponent) {
    constexpr std::uint32_t kBase = 1000000000;
    std::uint32_t pieces[36];  // 309 digits
    std::uint64_t significand = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    int count = 0;
    for (; significand != 0; significand /= kBase) pieces[count++] = significand % kBase;
    while (exponent > 0) {
        const int step = exponent < 29 ? exponent : 29;  // a piece times 2^29 fits 64 bits
        exponent -= step;
        std::uint64_t carry = 0;
        for (int k = 0; k < count; ++k) {
            const std::uint64_t product = (std::uint64_t{pieces[k]} << step) + carry;
            pieces[k] = static_cast<std::uint32_t>(product % kBase);
            carry = product / kBase;
        }
        for (; carry != 0; carry /= kBase) pieces[count++] = carry % kBase;
    }
    *out = '-';
    out += negative;
    out = putUnsigned(out, pieces[count - 1]);
    for (int k = count - 2; k >= 0; --k) {
        std::uint32_t piece = pieces[k];
        for (int digit = 8; digit >= 0; --digit, piece /= 10)
            out[digit] = static_cast<char>('0' + piece % 10);
        out += 9;
    }
    std::memcpy(out, ".000000", 7);
    return out + 7;
}

}  // namespace

char* formatFixed(char* out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0x7FF) return putNonFinite(out, bits >> 63, (bits << 12) != 0);
    if (biased >= 1075 + 11) return putHuge(out, bits >> 63, bits, biased - 1075);
    if (biased < 1023 + 52 && (bits & 0x3FFF) == 0) {
        // At most 39 significant bits, as every float has: the fraction
        // times a million is exact in a double, and so is its rounding to
        // nearest, ties to even, by adding and taking away 2^52.
        const double magnitude = std::fabs(value);
        auto whole = static_cast<std::uint64_t>(magnitude);
        const double millionths = (magnitude - static_cast<double>(whole)) * 1e6;
        auto fraction = static_cast<unsigned>((millionths + 0x1p52) - 0x1p52);
        if (fraction == 1000000) fraction = 0, ++whole;
        return putFixed(out, bits >> 63, whole, fraction);
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

    return putFixed(out, bits >> 63, whole, static_cast<unsigned>(fraction));
}

void setFixedText(FixedText& fixed, double value) {
    fixed.length = static_cast<std::uint16_t>(formatFixed(fixed.text, value) - fixed.text);
}
