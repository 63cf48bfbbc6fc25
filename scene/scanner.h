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
    char text[kTokenKeep + 1];  // NUL-terminated; may hold NUL bytes of the input
    std::size_t length;         // full length of the token in the input
};

ScanOpen scanOpenFile(const char* path);
void scanOpenMemory(const void* data, std::size_t size);
void scanClose();

// Each returns false when nothing was converted; what was consumed then is
// what the C library would have consumed.
bool scanToken(ScanToken& token);
bool scanDouble(double& value);
bool scanFloat(float& value);

// The common case in one step: a plain decimal such as "-12.5" followed by
// white space, with its value (read in single precision when `single`) and
// its "%f" text. False, with nothing but white space taken, when the number
// is anything else; scanDouble / scanFloat then read it.
struct FixedText;
bool scanPlainNumber(bool single, double& value, FixedText& text);

std::uint64_t scanConsumed();  // bytes taken from the input so far

// For tests: every read of a scene file from this byte offset on fails as a
// failing disk would make it fail; UINT64_MAX (the default) turns it off.
void scanFailReadsFrom(std::uint64_t offset);
bool scanReadFailed();  // an input error (not the end) stopped reading
