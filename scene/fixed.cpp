#include "scene/textout.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

constexpr double kExactIntegerLimit = 9007199254740992.0;   // 2^53

char* putUnsigned(char* out, std::uint64_t value) {
    char digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) *out++ = digits[--n];
    return out;
}

// The fraction 0 <= f < 1 in millionths, rounded to nearest, ties to even,
// computed exactly from the binary value.
std::uint64_t millionths(double f) {
    if (f == 0.0) return 0;
    int exponent;
    const double mantissa = std::frexp(f, &exponent);          // f = m * 2^e, m in [0.5, 1)
    const auto bits = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    // f * 10^6 = bits * 5^6 * 2^(e - 53 + 6)
    const int shift = 53 - 6 - exponent;                        // >= 47 since f < 1
    if (shift >= 100) return 0;                                 // far below half a millionth
    const unsigned __int128 scaled = static_cast<unsigned __int128>(bits) * 15625u;
    std::uint64_t quotient = static_cast<std::uint64_t>(scaled >> shift);
    const unsigned __int128 remainder = scaled - (static_cast<unsigned __int128>(quotient) << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1))) ++quotient;
    return quotient;
}

}  // namespace

char* formatFixed(char* out, double value) {
    if (!std::isfinite(value) || std::fabs(value) >= kExactIntegerLimit) {
        // Rare: infinities, NaNs and huge values take the C library's path.
        const int n = std::snprintf(out, kFixedMaxLength, "%f", value);
        return out + (n > 0 ? n : 0);
    }
    if (std::signbit(value)) *out++ = '-';
    const double magnitude = std::fabs(value);
    std::uint64_t whole = static_cast<std::uint64_t>(magnitude);
    std::uint64_t fraction = millionths(magnitude - static_cast<double>(whole));
    if (fraction >= 1000000) {
        fraction -= 1000000;
        ++whole;
    }
    out = putUnsigned(out, whole);
    *out++ = '.';
    for (int i = 5; i >= 0; --i) {
        out[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return out + 6;
}
