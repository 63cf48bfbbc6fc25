// Numbers as printf's "%f" writes them: fixed point, six decimals, exactly
// the C library's digits, for any double.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kFixedMaxLength = 330;  // "-" + 309 digits + ".dddddd"

struct FixedText {
    std::uint16_t length;
    char text[kFixedMaxLength];  // not terminated
};

// Writes the text at `out` and returns the end of it.
char* formatFixed(char* out, double value);
void setFixedText(FixedText& fixed, double value);
