// The shortest round-tripping text of a float, for the WebAssembly build,
// whose C++ library has no floating-point std::to_chars. Built on the C
// library's correctly rounded printf and strtof: the fewest significant
// digits that read back as the same float, then plain or exponent notation,
// whichever is shorter (plain on a tie),
// a whole number in plain notation with all its digits.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mirovan_wasm {

char* shortestFloat(char* first, char* last, float value);

namespace {

// `value` to `count` significant digits ("d.ddde+x") in `text`, and whether
// that reads back as `value`. Correctly rounded digits are the nearest, but
// at a power of two the floats below lie twice as close as those above: the
// digits one step further from zero may read back where the nearest do not.
bool readsBack(float value, int count, char* text) {
    std::snprintf(text, 32, "%.*e", count - 1, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) return true;
    int exponent;
    if (std::frexp(std::fabs(value), &exponent) != 0.5f || std::fpclassify(value) != FP_NORMAL)
        return false;
    unsigned long long digits = 0;
    const char* at = text + (value < 0);
    for (; *at != 'e'; ++at)
        if (*at != '.') digits = digits * 10 + static_cast<unsigned>(*at - '0');
    int power = std::atoi(at + 1);
    unsigned long long limit = 1;
    for (int i = 0; i < count; ++i) limit *= 10;
    if (++digits == limit) digits /= 10, ++power;
    char up[32];
    const int length = std::snprintf(up, sizeof up, "%s%llu", value < 0 ? "-" : "", digits);
    std::snprintf(up + length, sizeof up - static_cast<unsigned>(length), "e%d",
                  power - (count - 1));
    if (std::strtof(up, nullptr) != value) return false;
    // Back in the "%e" layout the rest of the work reads.
    char* out = text;
    const char* in = up;
    if (*in == '-') *out++ = *in++;
    *out++ = *in++;
    if (count > 1) *out++ = '.';
    while (*in != 'e') *out++ = *in++;
    std::snprintf(out, 8, "e%+03d", power);
    return true;
}

}  // namespace

char* shortestFloat(char* first, char* last, float value) {
    char text[48];
    int length;
    if (std::isnan(value)) {
        length = std::snprintf(text, sizeof text, "%s", std::signbit(value) ? "-nan" : "nan");
    } else if (std::isinf(value)) {
        length = std::snprintf(text, sizeof text, "%s", value < 0 ? "-inf" : "inf");
    } else if (value == 0) {
        length = std::snprintf(text, sizeof text, "%s", std::signbit(value) ? "-0" : "0");
    } else {
        // Significant digits: the first count that reads back.
        char scientific[32];
        int count = 1;
        while (count < 9 && !readsBack(value, count, scientific)) ++count;
        if (count == 9) readsBack(value, count, scientific);
        char digits[12];
        int n = 0;
        const char* at = scientific + (value < 0);
        for (; *at != 'e'; ++at)
            if (*at != '.') digits[n++] = *at;
        const int exponent = std::atoi(at + 1);
        while (n > 1 && digits[n - 1] == '0') --n;
        const int sign = value < 0;
        const int exponentDigits = std::abs(exponent) >= 100 ? 3 : 2;
        const int scientificLength = sign + n + (n > 1) + 2 + exponentDigits;
        int plainLength;
        if (exponent >= 0)
            plainLength = sign + (n <= exponent + 1 ? exponent + 1 : n + 1);
        else
            plainLength = sign + 2 + (-exponent - 1) + n;
        char* out = text;
        if (sign) *out++ = '-';
        if (plainLength <= scientificLength) {
            if (exponent + 1 >= n) {
                // A whole number is written exactly, every digit.
                out += std::snprintf(out, 40, "%.0f", std::fabs(static_cast<double>(value)));
            } else if (exponent >= 0) {
                for (int i = 0; i < n; ++i) {
                    if (i == exponent + 1) *out++ = '.';
                    *out++ = digits[i];
                }
            } else {
                *out++ = '0';
                *out++ = '.';
                for (int i = 0; i < -exponent - 1; ++i) *out++ = '0';
                for (int i = 0; i < n; ++i) *out++ = digits[i];
            }
        } else {
            *out++ = digits[0];
            if (n > 1) *out++ = '.';
            for (int i = 1; i < n; ++i) *out++ = digits[i];
            out += std::snprintf(out, 8, "e%c%0*d", exponent < 0 ? '-' : '+', exponentDigits,
                                 std::abs(exponent));
        }
        length = static_cast<int>(out - text);
    }
    if (last - first < length) return nullptr;
    std::memcpy(first, text, static_cast<std::size_t>(length));
    return first + length;
}

}  // namespace mirovan_wasm
