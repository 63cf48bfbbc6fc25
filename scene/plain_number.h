// The common number in one step: a decimal of at most 19 significant digits,
// with or without a point and an exponent, read straight from its bytes
// eight at a time, converted exactly as strtod / strtof convert it, and
// written as "%f" writes it.
#pragma once

#include <cstddef>

#include "scene/fixed.h"

// Bytes that must be readable from the number's first byte on: a sign, 19
// digits with a point or 20 without, three words of digits read after them.
constexpr std::size_t kPlainNumberRoom = 48;

// The number at `first`, in single precision when `single`, followed by a
// blank: the bytes it takes (as scanf takes them), or 0 when it is any other
// kind of number, or none, for the general reader to take.
std::size_t readPlainNumber(const unsigned char* first, bool single, double& value,
                            FixedText& text);

// Up to `count` such numbers, each after the blanks before it, while
// kPlainNumberRoom bytes are left before `limit`: how many were taken. `p`
// is left after the last one taken and the blanks after it.
int readPlainNumbers(const unsigned char*& p, const unsigned char* limit, bool single, int count,
                     double* values, FixedText* texts);
