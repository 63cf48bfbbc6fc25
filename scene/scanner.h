// Lexical layer of the scene reader: tokens and numbers taken from a scene
// exactly as the C library's "%s", "%lf" and "%f" conversions take them,
// from fixed-size blocks so that a scene of any size reads in bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>

enum class ScanOpen { Opened, Missing, Unreadable };

// A token as "%s" reads it. Only the first kTokenKeep bytes are kept; `length`
// counts them all, so a longer token is still known to be longer.
constexpr std::size_t kTokenKeep = 99;
struct ScanToken {
    char text[kTokenKeep + 1];   // NUL-terminated; may hold NUL bytes of the input
    std::size_t length;          // full length of the token in the input
};

ScanOpen scanOpenFile(const char* path);
void scanOpenMemory(const void* data, std::size_t size);
void scanClose();

// Each returns false when nothing was converted; what was consumed then is
// what the C library would have consumed.
bool scanToken(ScanToken& token);
bool scanDouble(double& value);
bool scanFloat(float& value);

// The digits of the last number converted, when it was a plain decimal such
// as "-12.5" held exactly: its value is that of (-)mantissa * 10^exponent10.
struct PlainDecimal {
    std::uint64_t mantissa;
    int exponent10;
    bool negative;
};
bool scanLastPlainDecimal(PlainDecimal& decimal);

std::uint64_t scanConsumed();   // bytes taken from the input so far
bool scanReadFailed();          // an input error (not the end) stopped reading
