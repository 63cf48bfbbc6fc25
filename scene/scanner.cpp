#include "scene/scanner.h"

#include <cerrno>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBlockSize = 1 << 16;
constexpr int kEnd = -1;

// The text of the number being collected, for the conversions that need it,
// and its decimal digits gathered on the way, for the ones that do not.
struct NumberText {
    char* text;
    std::size_t length;
    std::size_t capacity;
    bool negative;
    bool special;              // hexadecimal, infinity or NaN: the C library converts
    std::uint64_t mantissa;    // first significant decimal digits
    int significant;           // how many of them
    int exponent10;            // power of ten that scales the mantissa
    bool inexact;              // a non-zero digit did not fit the mantissa
    int exponentValue;         // the written exponent, capped
    bool exponentNegative;
    bool plain;                // read by the plain-decimal path
};


struct ScannerState {
    int fd = -1;
    const unsigned char* data = nullptr;     // the block, or the memory input
    unsigned char block[kBlockSize];
    std::size_t pos = 0;
    std::size_t end = 0;
    std::uint64_t blockStart = 0;            // input offset of block[0]
    bool atEnd = true;
    bool readFailed = false;
    NumberText number{};
    std::string numberStorage;               // backs scanner.number.text
};

ScannerState scanner;

__attribute__((noinline)) bool refill() {
    if (scanner.atEnd) return false;
    scanner.blockStart += scanner.end;
    scanner.pos = scanner.end = 0;
    for (;;) {
        ssize_t n = ::read(scanner.fd, scanner.block, kBlockSize);
        if (n > 0) { scanner.end = static_cast<std::size_t>(n); return true; }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) scanner.readFailed = true;
        scanner.atEnd = true;
        return false;
    }
}

// The next byte without taking it, or kEnd.
inline int peek() {
    if (scanner.pos == scanner.end && !refill()) return kEnd;
    return scanner.data[scanner.pos];
}

// Takes the next byte, like getc.
inline int take() {
    int c = peek();
    if (c != kEnd) ++scanner.pos;
    return c;
}

// Gives the last byte taken back, like ungetc; kEnd gives nothing back.
inline void giveBack(int c) {
    if (c != kEnd) --scanner.pos;
}

inline bool isBlank(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool isDigit(int c) { return c >= '0' && c <= '9'; }
inline bool isHexDigit(int c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
inline int lower(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Skips white space; false at the end of the input.
inline bool skipBlanks() {
    for (;;) {
        for (; scanner.pos < scanner.end; ++scanner.pos) {
            if (!isBlank(scanner.data[scanner.pos])) return true;
        }
        if (!refill()) return false;
    }
}


void growNumberText() {
    scanner.numberStorage.resize(scanner.number.capacity == 0 ? 256 : scanner.number.capacity * 2);
    scanner.number.capacity = scanner.numberStorage.size() - 1;   // room for the terminator
    scanner.number.text = scanner.numberStorage.data();
}

inline void append(int c) {
    if (scanner.number.length == scanner.number.capacity) growNumberText();
    scanner.number.text[scanner.number.length++] = static_cast<char>(c);
}

// Takes the bytes of `rest` one by one, case-insensitively, into the number
// text. A mismatching byte is taken too, as the C library does.
bool takeWord(const char* rest) {
    for (; *rest; ++rest) {
        int c = take();
        if (c == kEnd || lower(c) != *rest) return false;
        append(c);
    }
    return true;
}

inline void addDecimalDigit(int digit, bool afterDot) {
    if (scanner.number.significant < 19) {
        if (scanner.number.mantissa != 0 || digit != 0) {
            scanner.number.mantissa = scanner.number.mantissa * 10 + static_cast<unsigned>(digit);
            ++scanner.number.significant;
        }
        if (afterDot) --scanner.number.exponent10;
    } else {
        if (!afterDot) ++scanner.number.exponent10;
        if (digit != 0) scanner.number.inexact = true;
    }
}

// Collects the text of one floating-point number the way the C library's
// scanf does: greedily, giving back only the one byte that ended it.
// Returns false on a conversion failure.
bool collectNumber() {
    scanner.number.length = 0;
    scanner.number.negative = scanner.number.special = scanner.number.inexact = scanner.number.exponentNegative = false;
    scanner.number.mantissa = 0;
    scanner.number.significant = scanner.number.exponent10 = scanner.number.exponentValue = 0;
    if (!skipBlanks()) return false;

    int c = take();
    bool gotSign = false;
    if (c == '-' || c == '+') {
        gotSign = true;
        scanner.number.negative = c == '-';
        append(c);
        c = take();
        if (c == kEnd) return false;
    }

    if (lower(c) == 'n') {
        scanner.number.special = true;
        append(c);
        return takeWord("an");
    }
    if (lower(c) == 'i') {
        scanner.number.special = true;
        append(c);
        if (!takeWord("nf")) return false;
        c = take();
        if (c == kEnd) return true;
        if (lower(c) != 'i') { giveBack(c); return true; }
        append(c);
        return takeWord("nity");
    }

    int expChar = 'e';
    bool hex = false;
    bool gotDigit = false, gotDot = false, gotExp = false;
    if (c == '0') {
        append('0');
        c = take();
        if (lower(c) == 'x') {
            append(c);
            hex = scanner.number.special = true;
            expChar = 'p';
            c = take();
        } else {
            gotDigit = true;
        }
    }

    for (;;) {
        if (isDigit(c)) {
            append(c);
            gotDigit = true;
            if (gotExp) {
                if (scanner.number.exponentValue < 100000) scanner.number.exponentValue = scanner.number.exponentValue * 10 + (c - '0');
            } else if (!hex) {
                addDecimalDigit(c - '0', gotDot);
            }
        } else if (hex && !gotExp && isHexDigit(c)) {
            append(c);
            gotDigit = true;
        } else if (gotExp && scanner.number.text[scanner.number.length - 1] == expChar && (c == '-' || c == '+')) {
            append(c);
            scanner.number.exponentNegative = c == '-';
        } else if (gotDigit && !gotExp && lower(c) == expChar) {
            append(expChar);
            gotExp = gotDot = true;
        } else if (!gotDot && c == '.') {
            append('.');
            gotDot = true;
        } else {
            giveBack(c);
            break;
        }
        c = take();
    }

    const std::size_t signLength = gotSign ? 1 : 0;
    if (scanner.number.length == signLength) return false;
    if (hex && scanner.number.length == 2 + signLength) return false;
    return hex || gotDigit;   // a lone "." converts to nothing
}

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Short decimals convert with one correctly rounded operation on exact
// operands, which gives the same value as strtod / strtof.
template <typename Real>
bool convertExactly(Real& value) {
    if (scanner.number.special || scanner.number.inexact) return false;
    const int exponent =
        scanner.number.exponent10 + (scanner.number.exponentNegative ? -scanner.number.exponentValue : scanner.number.exponentValue);
    constexpr bool single = sizeof(Real) == sizeof(float);
    constexpr std::uint64_t mantissaLimit = single ? (1u << 24) : (1ull << 53);
    constexpr int exponentLimit = single ? 10 : 22;
    if (scanner.number.mantissa > mantissaLimit || exponent < -exponentLimit || exponent > exponentLimit)
        return false;
    Real result = static_cast<Real>(scanner.number.mantissa);
    const Real power = static_cast<Real>(kExactPowers[exponent < 0 ? -exponent : exponent]);
    result = exponent < 0 ? result / power : result * power;
    value = scanner.number.negative ? -result : result;
    return true;
}

// The common case, a plain decimal such as "-12.5" followed by white space,
// read straight from the block. Anything else (an exponent, hex, a number
// near the end of the block) is left to collectNumber. The decimal digits are
// gathered into `number` for convertExactly.
bool collectPlainDecimal() {
    const unsigned char* const start = scanner.data + scanner.pos;
    const unsigned char* const limit = scanner.data + scanner.end;
    const unsigned char* p = start;
    scanner.number.negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    std::uint64_t mantissa = 0;
    int digits = 0, exponent10 = 0;
    bool gotDot = false;
    for (; p < limit; ++p) {
        const unsigned digit = *p - static_cast<unsigned>('0');
        if (digit < 10) {
            mantissa = mantissa * 10 + digit;
            ++digits;
            exponent10 -= gotDot;
        } else if (*p == '.' && !gotDot) {
            gotDot = true;
        } else {
            break;
        }
    }
    // Up to 19 digits (leading zeros included) fit the mantissa exactly.
    if (p == limit || digits == 0 || digits > 19 || !isBlank(*p)) return false;
    scanner.number.mantissa = mantissa;
    scanner.number.exponent10 = exponent10;
    scanner.number.exponentValue = 0;
    scanner.number.inexact = scanner.number.special = scanner.number.exponentNegative = false;
    scanner.number.plain = true;
    scanner.pos += static_cast<std::size_t>(p - start);
    return true;
}

// The value of the collected text, converted as strtod / strtof would.
template <typename Real>
bool convertNumber(Real& value) {
    if (convertExactly(value)) return true;
    scanner.number.text[scanner.number.length] = '\0';
    const char* first = scanner.number.text;
    const char* last = first + scanner.number.length;
    if (!scanner.number.special) {
        const char* digits = (*first == '+') ? first + 1 : first;
        Real parsed;
        auto [ptr, ec] = std::from_chars(digits, last, parsed, std::chars_format::general);
        if (ec == std::errc() && ptr != digits) {
            value = parsed;
            return true;
        }
    }
    // Hexadecimal, infinities, NaNs, ranges beyond the fast paths: the C library.
    char* stop = nullptr;
    Real parsed;
    if constexpr (sizeof(Real) == sizeof(float)) parsed = std::strtof(first, &stop);
    else parsed = std::strtod(first, &stop);
    if (stop == first) return false;
    value = parsed;
    return true;
}

template <typename Real>
bool scanNumber(Real& value) {
    if (!skipBlanks()) return false;
    const std::size_t start = scanner.pos;
    scanner.number.plain = false;
    if (collectPlainDecimal()) {
        if (convertExactly(value)) return true;
        scanner.pos = start;   // take the general path for this one
        scanner.number.plain = false;
    }
    return collectNumber() && convertNumber(value);
}

}  // namespace

ScanOpen scanOpenFile(const char* path) {
    scanClose();
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ScanOpen::Missing : ScanOpen::Unreadable;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return ScanOpen::Unreadable;
    }
    scanner.fd = fd;
    scanner.data = scanner.block;
    scanner.atEnd = false;
    return ScanOpen::Opened;
}

void scanOpenMemory(const void* data, std::size_t size) {
    scanClose();
    scanner.data = static_cast<const unsigned char*>(data);
    scanner.end = size;
    scanner.atEnd = true;
}

void scanClose() {
    if (scanner.fd >= 0) ::close(scanner.fd);
    scanner.fd = -1;
    scanner.data = nullptr;
    scanner.pos = scanner.end = 0;
    scanner.blockStart = 0;
    scanner.atEnd = true;
    scanner.readFailed = false;
}

bool scanToken(ScanToken& token) {
    token.length = 0;
    token.text[0] = '\0';
    if (!skipBlanks()) return false;
    for (;;) {
        const std::size_t start = scanner.pos;
        std::size_t pos = start;
        while (pos < scanner.end && !isBlank(scanner.data[pos])) ++pos;
        if (token.length < kTokenKeep) {
            const std::size_t keep = std::min(pos - start, kTokenKeep - token.length);
            std::memcpy(token.text + token.length, scanner.data + start, keep);
        }
        token.length += pos - start;
        scanner.pos = pos;
        if (pos < scanner.end || !refill()) break;
    }
    token.text[token.length < kTokenKeep ? token.length : kTokenKeep] = '\0';
    return true;
}

bool scanDouble(double& value) { return scanNumber(value); }
bool scanFloat(float& value) { return scanNumber(value); }

std::uint64_t scanConsumed() { return scanner.blockStart + scanner.pos; }
bool scanReadFailed() { return scanner.readFailed; }

bool scanLastPlainDecimal(PlainDecimal& decimal) {
    if (!scanner.number.plain) return false;
    decimal = {scanner.number.mantissa, scanner.number.exponent10, scanner.number.negative};
    return true;
}
