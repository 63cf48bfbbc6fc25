#include "scene/scanner.h"

#include <cerrno>
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

struct ScannerState {
    int fd = -1;
    const unsigned char* data = nullptr;     // the block, or the memory input
    unsigned char block[kBlockSize];
    std::size_t pos = 0;
    std::size_t end = 0;
    std::uint64_t blockStart = 0;            // input offset of block[0]
    bool atEnd = true;
    bool readFailed = false;
    std::string number;                      // text of the number being converted
};

ScannerState scanner;

bool refill() {
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
bool skipBlanks() {
    for (;;) {
        int c = peek();
        if (c == kEnd) return false;
        if (!isBlank(c)) return true;
        ++scanner.pos;
    }
}

// Takes the bytes of `rest` one by one, case-insensitively, into the number
// text. A mismatching byte is taken too, as the C library does.
bool takeWord(const char* rest) {
    for (; *rest; ++rest) {
        int c = take();
        if (c == kEnd || lower(c) != *rest) return false;
        scanner.number.push_back(static_cast<char>(c));
    }
    return true;
}

// Collects the text of one floating-point number the way the C library's
// scanf does: greedily, giving back only the one byte that ended it.
// Returns false on a conversion failure.
bool collectNumber() {
    std::string& text = scanner.number;
    text.clear();
    if (!skipBlanks()) return false;

    int c = take();
    bool gotSign = false;
    if (c == '-' || c == '+') {
        gotSign = true;
        text.push_back(static_cast<char>(c));
        c = take();
        if (c == kEnd) return false;
    }

    if (lower(c) == 'n') {
        text.push_back(static_cast<char>(c));
        return takeWord("an");
    }
    if (lower(c) == 'i') {
        text.push_back(static_cast<char>(c));
        if (!takeWord("nf")) return false;
        c = take();
        if (c == kEnd) return true;
        if (lower(c) != 'i') { giveBack(c); return true; }
        text.push_back(static_cast<char>(c));
        return takeWord("nity");
    }

    int expChar = 'e';
    bool hex = false;
    bool gotDigit = false, gotDot = false, gotExp = false;
    if (c == '0') {
        text.push_back('0');
        c = take();
        if (lower(c) == 'x') {
            text.push_back(static_cast<char>(c));
            hex = true;
            expChar = 'p';
            c = take();
        } else {
            gotDigit = true;
        }
    }

    for (;;) {
        if (isDigit(c) || (hex && !gotExp && isHexDigit(c))) {
            text.push_back(static_cast<char>(c));
            gotDigit = true;
        } else if (gotExp && text.back() == expChar && (c == '-' || c == '+')) {
            text.push_back(static_cast<char>(c));
        } else if (gotDigit && !gotExp && lower(c) == expChar) {
            text.push_back(static_cast<char>(expChar));
            gotExp = gotDot = true;
        } else if (!gotDot && c == '.') {
            text.push_back('.');
            gotDot = true;
        } else {
            giveBack(c);
            break;
        }
        c = take();
    }

    const std::size_t signLength = gotSign ? 1 : 0;
    if (text.size() == signLength) return false;
    if (hex && text.size() == 2 + signLength) return false;
    return true;
}

// The value of the collected text, converted as strtod / strtof would.
template <typename Real>
bool convertNumber(Real& value) {
    const char* first = scanner.number.data();
    const char* last = first + scanner.number.size();
    const char* digits = (*first == '+') ? first + 1 : first;
    if (std::strpbrk(first, "xXnNiI") == nullptr) {
        Real parsed;
        auto [ptr, ec] = std::from_chars(digits, last, parsed, std::chars_format::general);
        if (ec == std::errc() && ptr != digits) { value = parsed; return true; }
    }
    // Hexadecimal, infinities, NaNs, ranges beyond the fast path: the C library.
    char* stop = nullptr;
    Real parsed;
    if constexpr (sizeof(Real) == sizeof(float)) parsed = std::strtof(first, &stop);
    else parsed = std::strtod(first, &stop);
    if (stop == first) return false;
    value = parsed;
    return true;
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
    for (int c = peek(); c != kEnd && !isBlank(c); c = peek()) {
        if (token.length < kTokenKeep) token.text[token.length] = static_cast<char>(c);
        ++token.length;
        ++scanner.pos;
    }
    token.text[token.length < kTokenKeep ? token.length : kTokenKeep] = '\0';
    return true;
}

bool scanDouble(double& value) { return collectNumber() && convertNumber(value); }
bool scanFloat(float& value) { return collectNumber() && convertNumber(value); }

std::uint64_t scanConsumed() { return scanner.blockStart + scanner.pos; }
bool scanReadFailed() { return scanner.readFailed; }
