#include "plain_number.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint64_t kZeros = 0x3030303030303030;  // "00000000"

constexpr std::uint64_t kPowers[] = {1,
                                     10,
                                     100,
                                     1000,
                                     10000,
                                     100000,
                                     1000000,
                                     10000000,
                                     100000000,
                                     1000000000,
                                     10000000000,
                                     100000000000,
                                     1000000000000,
                                     10000000000000,
                                     100000000000000,
                                     1000000000000000,
                                     10000000000000000,
                                     100000000000000000,
                                     1000000000000000000,
                                     10000000000000000000u};

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr float kExactFloatPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// Exact in x87's 64-bit significand up to 10^27 (5^27 < 2^64).
constexpr auto kLongPowers = [] {
    std::array<long double, 28> powers{};
    long double p = 1;
    for (long double& power : powers) power = p, p *= 10;
    return powers;
}();

inline std::uint64_t load8(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

inline bool isBlank(unsigned c) { return c == ' ' || c - '\t' <= '\r' - '\t'; }

// How many of the word's bytes, from the first, are decimal digits.
inline int digitsIn(std::uint64_t word) {
    const std::uint64_t x = word ^ kZeros;  // a digit becomes 0..9
    // High bit set in a byte above 9; a carry out of such a byte can only
    // disturb the bytes after it, which are not looked at.
    const std::uint64_t other = ((x + 0x7676767676767676) | x) & 0x8080808080808080;
    return other == 0 ? 8 : std::countr_zero(other) >> 3;
}

// The value of eight digit values (0 to 9), the first byte the most
// significant.
inline std::uint64_t eightValues(std::uint64_t v) {
    v = v * 10 + (v >> 8);
    return (((v & 0x000000FF000000FF) * (100 + (1000000ull << 32))) +
            (((v >> 16) & 0x000000FF000000FF) * (1 + (10000ull << 32)))) >>
           32;
}

inline std::uint64_t eightDigits(std::uint64_t word) { return eightValues(word - kZeros); }

// The value of the word's first n digits (n <= 8). Shifting puts zeros in
// front; the bytes after the digits, and any borrow from them, fall out.
inline std::uint64_t firstDigits(std::uint64_t word, int n) {
    return n == 0 ? 0 : eightValues((word - kZeros) << (8 * (8 - n)));
}

struct DigitRun {
    int length;  // 20 for a run longer than 19
    std::uint64_t value;
};

// A run of nine or more digits.
__attribute__((noinline)) DigitRun longDigitRun(const unsigned char* p, std::uint64_t a) {
    const std::uint64_t b = load8(p + 8);
    const int nb = digitsIn(b);
    if (nb < 8) return {8 + nb, eightDigits(a) * kPowers[nb] + firstDigits(b, nb)};
    const std::uint64_t c = load8(p + 16);
    const int nc = digitsIn(c);
    if (nc > 3) return {20, 0};
    return {16 + nc,
            (eightDigits(a) * 100000000 + eightDigits(b)) * kPowers[nc] + firstDigits(c, nc)};
}

[[gnu::always_inline]] inline DigitRun digitRun(const unsigned char* p) {
    const std::uint64_t a = load8(p);
    const int na = digitsIn(a);
    if (na < 8) [[likely]]
        return {na, firstDigits(a, na)};
    return longDigitRun(p, a);
}

// x87's 64-bit significand holds any 19-digit mantissa and 10^27 exactly:
// one rounding to 64 bits, then one to 53, which gives the correctly rounded
// double unless the first landed exactly halfway between two.
__attribute__((noinline)) bool wideDouble(std::uint64_t mantissa, int exponent, double& value) {
    if constexpr (std::numeric_limits<long double>::digits == 64) {
        if (exponent < -27 || exponent > 27) return false;
        const long double power = kLongPowers[exponent < 0 ? -exponent : exponent];
        const long double m = static_cast<long double>(mantissa);
        const long double x = exponent < 0 ? m / power : m * power;
        std::uint64_t significand;
        std::memcpy(&significand, &x, 8);
        if ((significand & 0x7FF) == 0x400) return false;
        value = static_cast<double>(x);
        return true;
    }
    return false;
}

// mantissa * 10^exponent correctly rounded to a double; false when that
// takes more than one rounded operation.
inline bool exactDouble(std::uint64_t mantissa, int exponent, double& value) {
    if (mantissa <= (std::uint64_t{1} << 53) && exponent >= -22 && exponent <= 22) [[likely]] {
        const double m = static_cast<double>(mantissa);
        value = exponent < 0 ? m / kExactPowers[-exponent] : m * kExactPowers[exponent];
        return true;
    }
    return wideDouble(mantissa, exponent, value);
}

// The same in single precision, through the exact double: rounding that to
// a float gives strtof's result unless it lies exactly halfway between two
// floats, or outside the normal floats.
inline bool exactFloat(std::uint64_t mantissa, int exponent, float& value) {
    if (mantissa <= (1u << 24) && exponent >= -10 && exponent <= 10) [[likely]] {
        const float m = static_cast<float>(mantissa);
        const float power = kExactFloatPowers[exponent < 0 ? -exponent : exponent];
        value = exponent < 0 ? m / power : m * power;
        return true;
    }
    double wide;
    if (!exactDouble(mantissa, exponent, wide)) return false;
    std::uint64_t bits;
    std::memcpy(&bits, &wide, 8);
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    if (mantissa != 0 && (biased < 1023 - 125 || biased > 1023 + 126)) return false;
    if ((bits & 0x1FFFFFFF) == 0x10000000) return false;
    value = static_cast<float>(wide);
    return true;
}

// "%f" of a decimal with at most six decimals, straight from its digits;
// 16 readable bytes at `whole` (after its leading zeros) and 8 at `fraction`.
[[gnu::always_inline]] inline void digitsText(FixedText& text, bool negative,
                                              const unsigned char* whole, int wholeLength,
                                              const unsigned char* fraction, int fractionLength) {
    while (wholeLength > 1 && *whole == '0') ++whole, --wholeLength;
    char* out = text.text;
    *out = '-';
    out += negative;
    *out = '0';
    out += wholeLength == 0;
    std::memcpy(out, whole, 16);
    out += wholeLength;
    *out++ = '.';
    const std::uint64_t keep = (std::uint64_t{1} << (8 * fractionLength)) - 1;  // at most 6
    const std::uint64_t digits = (load8(fraction) & keep) | (kZeros & ~keep);
    std::memcpy(out, &digits, 8);
    text.length = static_cast<std::uint16_t>(out + 6 - text.text);
}

inline std::uint64_t lowBytes(int n) { return (std::uint64_t{1} << (8 * n)) - 1; }

// The common number, whole within one word after its sign: at most seven
// digits and a point, then a blank. 0 when it is anything else.
[[gnu::always_inline]] inline std::size_t readShortNumber(const unsigned char* first, bool single,
                                                          double& value, FixedText& text) {
    const bool negative = *first == '-';
    const unsigned char* const p = first + (negative || *first == '+');
    const std::uint64_t word = load8(p);
    // A byte's high bit set where it is not a digit. The point carries into
    // no other byte, so the bits stay true up to the byte after the fraction.
    const std::uint64_t x = word ^ kZeros;
    std::uint64_t other = ((x + 0x7676767676767676) | x) & 0x8080808080808080;
    if (other == 0) return 0;
    const int wholeLength = std::countr_zero(other) >> 3;
    int end = wholeLength;
    if (p[wholeLength] == '.') {
        other &= other - 1;
        if (other == 0) return 0;
        end = std::countr_zero(other) >> 3;
    }
    const int fractionLength = end - wholeLength - (end != wholeLength);
    const int digits = wholeLength + fractionLength;
    if (digits == 0 || !isBlank(p[end])) return 0;

    // The digits side by side without the point, then their value.
    const std::uint64_t wholeMask = lowBytes(wholeLength);
    const std::uint64_t packed = (x & wholeMask) | ((x >> 8) & ~wholeMask & lowBytes(digits));
    const std::uint64_t mantissa = eightValues(packed << (8 * (8 - digits)));
    // Exact operands, one rounding: strtod's and strtof's results.
    bool copyDigits = true;
    if (single) {
        const float f = static_cast<float>(mantissa) / kExactFloatPowers[fractionLength];
        value = negative ? -static_cast<double>(f) : static_cast<double>(f);
        copyDigits = f < 8.0f || static_cast<double>(f) * kExactPowers[fractionLength] ==
                                     static_cast<double>(mantissa);
    } else {
        const double d = static_cast<double>(mantissa) / kExactPowers[fractionLength];
        value = negative ? -d : d;
    }
    if (copyDigits)
        digitsText(text, negative, p, wholeLength, p + wholeLength + 1, fractionLength);
    else
        setFixedText(text, value);
    return static_cast<std::size_t>(p + end - first);
}

// Any other plain decimal.
__attribute__((noinline)) std::size_t readLongerNumber(const unsigned char* first, bool single,
                                                       double& value, FixedText& text) {
    const unsigned char* p = first;
    const bool negative = *p == '-';
    p += negative || *p == '+';
    const unsigned char* const wholeStart = p;
    const DigitRun whole = digitRun(p);
    p += whole.length;
    const unsigned char* fractionStart = p;
    DigitRun fraction = {0, 0};
    if (*p == '.') {
        fractionStart = ++p;
        fraction = digitRun(p);
        p += fraction.length;
    }
    const int digits = whole.length + fraction.length;
    if (digits == 0 || digits > 19) return 0;
    int exponent = 0;
    const bool scaled = (*p | 0x20) == 'e';
    if (scaled) {
        const bool down = p[1] == '-';
        p += 1 + (down || p[1] == '+');
        const DigitRun written = digitRun(p);
        if (written.length == 0 || written.length > 3) return 0;
        exponent = down ? -static_cast<int>(written.value) : static_cast<int>(written.value);
        p += written.length;
    }
    if (!isBlank(*p)) return 0;

    const std::uint64_t mantissa = whole.value * kPowers[fraction.length] + fraction.value;
    exponent -= fraction.length;
    // Digits copied make the text when the value's rounding cannot reach
    // the sixth decimal: below 2^32 in double; in single, below 8 or when
    // the float is the decimal itself.
    bool copyDigits = !scaled && fraction.length <= 6;
    if (single) {
        float f;
        if (!exactFloat(mantissa, exponent, f)) return 0;
        value = negative ? -static_cast<double>(f) : static_cast<double>(f);
        copyDigits = copyDigits &&
                     (whole.value < 8 || (mantissa <= (std::uint64_t{1} << 53) &&
                                          static_cast<double>(f) * kExactPowers[fraction.length] ==
                                              static_cast<double>(mantissa)));
    } else {
        double d;
        if (!exactDouble(mantissa, exponent, d)) return 0;
        value = negative ? -d : d;
        copyDigits = copyDigits && whole.value < (std::uint64_t{1} << 32);
    }
    if (copyDigits)
        digitsText(text, negative, wholeStart, whole.length, fractionStart, fraction.length);
    else
        setFixedText(text, value);
    return static_cast<std::size_t>(p - first);
}

}  // namespace

std::size_t readPlainNumber(const unsigned char* first, bool single, double& value,
                            FixedText& text) {
    if constexpr (std::endian::native != std::endian::little) return 0;
    if (const std::size_t taken = readShortNumber(first, single, value, text)) return taken;
    return readLongerNumber(first, single, value, text);
}

int readPlainNumbers(const unsigned char*& p, const unsigned char* limit, bool single, int count,
                     double* values, FixedText* texts) {
    if constexpr (std::endian::native != std::endian::little) return 0;
    int taken = 0;
    for (; taken < count; ++taken) {
        while (p < limit && isBlank(*p)) ++p;
        if (limit - p < static_cast<std::ptrdiff_t>(kPlainNumberRoom)) break;
        std::size_t length = readShortNumber(p, single, values[taken], texts[taken]);
        if (length == 0) length = readLongerNumber(p, single, values[taken], texts[taken]);
        if (length == 0) break;
        p += length;
    }
    return taken;
}
