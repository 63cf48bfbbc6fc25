#include "scanner.h"
#include "testing/scanner_testing.h"

#include "plain_number.h"

#include "report_log.h"
#include "scene/scene.h"
#include "statement_shape.h"

#include <cerrno>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#define O_CLOEXEC 0  // mingw: no exec, so no descriptor to keep from it
#endif

namespace {

constexpr std::size_t kBlockSize = 1 << 16;
constexpr int kEnd = -1;

// A number's text is kept whole up to kNumberTextKeep bytes. A longer one
// (thousands of digits) is converted from its first kDigitsKeep significant
// digits, a non-zero digit standing for any non-zero ones dropped, and the
// position of its point: the C library's result depends on nothing else,
// since a value halfway between two neighbouring doubles has at most 768
// significant digits. Memory stays bounded whatever the number's length.
constexpr std::size_t kNumberTextKeep = 1024;
constexpr int kDigitsKeep = 800;
constexpr std::int64_t kExponentCap = 100000000000000000;  // far beyond any range

// The text of the number being collected, for the conversions that need it,
// and its decimal digits gathered on the way, for the ones that do not.
struct NumberText {
    char text[kNumberTextKeep + 1];
    std::size_t length;  // bytes taken, kept or not
    int last;            // the last byte taken
    bool negative;
    bool special;                // hexadecimal, infinity or NaN: the C library converts
    std::uint64_t mantissa;      // first significant decimal digits
    int significant;             // how many of them
    std::int64_t exponent10;     // power of ten that scales the mantissa
    bool inexact;                // a non-zero digit did not fit the mantissa
    std::int64_t exponentValue;  // the written exponent, capped
    bool exponentNegative;
    // Significant digits in the number's base (10, or 16 for hexadecimal)
    // for a number too long to keep whole: value = 0.digits * base^point.
    char digits[kDigitsKeep];
    int digitsKept;
    bool digitsDropped;  // a non-zero digit beyond those kept
    bool seenSignificant;
    std::int64_t point;
};

// Where the reading is in lines, kept up to `offset`: counted from the
// bytes of each block before the block is dropped, so that a report can say
// where a word stands long after its line began.
struct LineCursor {
    std::uint64_t offset;     // input bytes counted
    std::uint64_t line;       // line breaks before `offset`
    std::uint64_t lineStart;  // input offset where that line starts
};

struct ScannerState {
    int fd = -1;
    bool ownsFd = false;
    const unsigned char* prefix = nullptr;  // read before the descriptor
    std::size_t prefixLeft = 0;
    const unsigned char* data = nullptr;  // the block, or the memory input
    std::size_t pos = 0;
    std::size_t end = 0;
    std::uint64_t blockStart = 0;  // input offset of block[0]
    bool atEnd = true;
    bool readFailed = false;
    std::uint64_t faultFrom = UINT64_MAX;  // tests: reads from here on fail
    LineCursor cursor{};
    bool countLater = false;       // a regular file: lines are counted only for a report
    std::uint64_t quietUntil = 0;  // the rest of a word reported already
    // A word reported before its end was held: it goes on to the first blank
    // after `quietChecked`, the bytes before which are none.
    bool quietOpen = false;
    std::uint64_t quietChecked = 0;
    std::uint64_t missingAt = UINT64_MAX;  // where a missing number was last reported
    bool afterUnknown = false;             // no keyword since the last unknown word
    bool fingerprinting = false;
    std::uint64_t fingerprint = 0;
    NumberText number{};
    char compact[kDigitsKeep + 64]{};  // a long number's short equivalent
};

// One per thread: the translators read segments of one scene on several.
// The block stands apart so that it starts as zeros, with nothing to copy.
constinit thread_local ScannerState scanner;
thread_local unsigned char scanBlock[kBlockSize];

inline bool isBlank(int c) { return c == ' ' || static_cast<unsigned>(c - '\t') <= '\r' - '\t'; }
inline bool isDigit(int c) { return c >= '0' && c <= '9'; }
inline bool isHexDigit(int c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
inline int lower(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Line breaks in [first, last), sixteen bytes at a time.
std::uint64_t countLineBreaks(const unsigned char* first, const unsigned char* last) {
    typedef unsigned char Lanes __attribute__((vector_size(16)));
    std::uint64_t count = 0;
    while (last - first >= 16) {
        // Each lane counts up to 255 line breaks before they are added up.
        Lanes sums{};
        const std::ptrdiff_t rounds = std::min<std::ptrdiff_t>((last - first) / 16, 255);
        for (std::ptrdiff_t r = 0; r < rounds; ++r, first += 16) {
            Lanes bytes;
            std::memcpy(&bytes, first, 16);
            sums -= reinterpret_cast<Lanes>(bytes == '\n');
        }
        for (int lane = 0; lane < 16; ++lane) count += sums[lane];
    }
    for (; first < last; ++first) count += *first == '\n';
    return count;
}

// Counts the lines of [first, last), which start at input offset `at`.
void countLines(const unsigned char* first, const unsigned char* last, std::uint64_t at) {
    LineCursor& c = scanner.cursor;
    const std::uint64_t breaks = countLineBreaks(first, last);
    if (breaks > 0) {
        c.line += breaks;
        const unsigned char* p = last;
        while (p[-1] != '\n') --p;
        c.lineStart = at + static_cast<std::uint64_t>(p - first);
    }
    c.offset = at + static_cast<std::uint64_t>(last - first);
}

// The lines of a regular file's bytes dropped from the block uncounted,
// counted now by reading them again through the same descriptor: a scene
// with nothing to report never pays for its lines.
__attribute__((noinline)) void countDropped() {
#ifndef _WIN32
    unsigned char chunk[1 << 14];
    LineCursor& c = scanner.cursor;
    while (c.offset < scanner.blockStart) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(sizeof chunk, scanner.blockStart - c.offset));
        const ssize_t n = ::pread(scanner.fd, chunk, want, static_cast<off_t>(c.offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        countLines(chunk, chunk + n, c.offset);
    }
#endif
    scanner.cursor.offset = std::max(scanner.cursor.offset, scanner.blockStart);
}

// Counts the lines up to input offset `to`.
void advanceCursor(std::uint64_t to) {
    LineCursor& c = scanner.cursor;
    if (to <= c.offset) return;
    if (c.offset < scanner.blockStart) countDropped();
    if (to <= c.offset) return;
    countLines(scanner.data + (c.offset - scanner.blockStart),
               scanner.data + (to - scanner.blockStart), c.offset);
}

// The bytes of the input, mixed into one number that tells versions apart.
void mixFingerprint(const unsigned char* bytes, std::size_t length) {
    std::uint64_t h = scanner.fingerprint;
    for (std::size_t i = 0; i < length; ++i) h = (h ^ bytes[i]) * 0x100000001b3;
    scanner.fingerprint = h;
}

// Reads more of the file after the bytes held; false at its end or when a
// read fails.
bool readMore() {
    if (scanner.atEnd) return false;
    if (scanner.blockStart + scanner.end >= scanner.faultFrom) {
        scanner.readFailed = scanner.atEnd = true;
        return false;
    }
    if (scanner.prefixLeft > 0) {
        const std::size_t n = std::min(scanner.prefixLeft, kBlockSize - scanner.end);
        std::memcpy(scanBlock + scanner.end, scanner.prefix, n);
        scanner.prefix += n;
        scanner.prefixLeft -= n;
        scanner.end += n;
        return true;
    }
    for (;;) {
        ssize_t n = ::read(scanner.fd, scanBlock + scanner.end, kBlockSize - scanner.end);
        if (n > 0) {
            if (scanner.fingerprinting) mixFingerprint(scanBlock + scanner.end, std::size_t(n));
            scanner.end += static_cast<std::size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) scanner.readFailed = true;
        scanner.atEnd = true;
        return false;
    }
}

// Looks for the end of an open quiet word in the bytes held before input
// offset `to`, which are about to be dropped.
void settleQuietWord(std::uint64_t to) {
    const std::uint64_t from = std::max(scanner.quietChecked, scanner.blockStart);
    for (std::uint64_t at = from; at < to; ++at)
        if (isBlank(scanner.data[at - scanner.blockStart])) {
            scanner.quietOpen = false;
            scanner.quietUntil = at;
            return;
        }
    scanner.quietChecked = std::max(scanner.quietChecked, to);
}

__attribute__((noinline)) bool refill() {
    if (!scanner.countLater) advanceCursor(scanner.blockStart + scanner.end);
    if (scanner.quietOpen) settleQuietWord(scanner.blockStart + scanner.end);
    scanner.blockStart += scanner.end;
    scanner.pos = scanner.end = 0;
    return readMore();
}

// Moves the bytes not taken yet to the block's start and reads more after
// them, so that a number is not cut by the block's end; false when fewer
// than `room` bytes are left in the whole input.
__attribute__((noinline)) bool makeRoom(std::size_t room) {
    if (scanner.data != scanBlock) return false;  // input in memory: all there is
    if (!scanner.countLater) advanceCursor(scanner.blockStart + scanner.pos);
    if (scanner.quietOpen) settleQuietWord(scanner.blockStart + scanner.pos);
    const std::size_t rest = scanner.end - scanner.pos;
    std::memmove(scanBlock, scanBlock + scanner.pos, rest);
    scanner.blockStart += scanner.pos;
    scanner.pos = 0;
    scanner.end = rest;
    while (scanner.end < room && readMore()) {
    }
    return scanner.end >= room;
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

// Skips white space; false at the end of the input.
inline bool skipBlanks() {
    for (;;) {
        // Locals: the block's bytes could alias the state as far as the
        // compiler knows, which would reload it on every byte.
        const unsigned char* const data = scanner.data;
        const std::size_t end = scanner.end;
        std::size_t pos = scanner.pos;
        while (pos < end && isBlank(data[pos])) ++pos;
        scanner.pos = pos;
        if (pos < end) return true;
        if (!refill()) return false;
    }
}

inline void append(int c) {
    if (scanner.number.length < kNumberTextKeep)
        scanner.number.text[scanner.number.length] = static_cast<char>(c);
    ++scanner.number.length;
    scanner.number.last = c;
}

// Every mantissa digit, decimal or hexadecimal, for the compact form.
inline void noteDigit(int c, int value, bool afterDot) {
    NumberText& n = scanner.number;
    if (!n.seenSignificant) {
        if (value == 0) {
            if (afterDot) --n.point;
            return;
        }
        n.seenSignificant = true;
    }
    if (!afterDot) ++n.point;
    if (n.digitsKept < kDigitsKeep)
        n.digits[n.digitsKept++] = static_cast<char>(c);
    else if (value != 0)
        n.digitsDropped = true;
}

inline int hexValue(int c) { return isDigit(c) ? c - '0' : lower(c) - 'a' + 10; }

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
    scanner.number.last = kEnd;
    scanner.number.negative = scanner.number.special = scanner.number.inexact =
        scanner.number.exponentNegative = false;
    scanner.number.mantissa = 0;
    scanner.number.significant = 0;
    scanner.number.exponent10 = scanner.number.exponentValue = 0;
    scanner.number.digitsKept = 0;
    scanner.number.digitsDropped = scanner.number.seenSignificant = false;
    scanner.number.point = 0;
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
        if (lower(c) != 'i') {
            giveBack(c);
            return true;
        }
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
                if (scanner.number.exponentValue < kExponentCap)
                    scanner.number.exponentValue = scanner.number.exponentValue * 10 + (c - '0');
            } else {
                if (!hex) addDecimalDigit(c - '0', gotDot);
                noteDigit(c, c - '0', gotDot);
            }
        } else if (hex && !gotExp && isHexDigit(c)) {
            append(c);
            gotDigit = true;
            noteDigit(c, hexValue(c), gotDot);
        } else if (gotExp && scanner.number.last == expChar && (c == '-' || c == '+')) {
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
    return hex || gotDigit;  // a lone "." converts to nothing
}

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Short decimals convert with one correctly rounded operation on exact
// operands, which gives the same value as strtod / strtof.
template <typename Real>
bool convertExactly(Real& value) {
    if (scanner.number.special || scanner.number.inexact) return false;
    const std::int64_t exponent = scanner.number.exponent10 + (scanner.number.exponentNegative
                                                                   ? -scanner.number.exponentValue
                                                                   : scanner.number.exponentValue);
    constexpr bool single = sizeof(Real) == sizeof(float);
    constexpr std::uint64_t mantissaLimit = single ? (1u << 24) : (1ull << 53);
    constexpr int exponentLimit = single ? 10 : 22;
    if (scanner.number.mantissa > mantissaLimit || exponent < -exponentLimit ||
        exponent > exponentLimit)
        return false;
    Real result = static_cast<Real>(scanner.number.mantissa);
    const Real power = static_cast<Real>(kExactPowers[exponent < 0 ? -exponent : exponent]);
    result = exponent < 0 ? result / power : result * power;
    value = scanner.number.negative ? -result : result;
    return true;
}

// A number too long to keep whole, written short with the same value:
// [-]0.<digits>e<point + exponent>, or [-]0x0.<digits>p<4 * point + exponent>.
std::size_t writeCompact() {
    const NumberText& n = scanner.number;
    const bool hex = n.special;  // infinities and NaNs are never this long
    char* out = scanner.compact;
    if (n.negative) *out++ = '-';
    *out++ = '0';
    if (hex) *out++ = 'x';
    if (n.digitsKept > 0) {
        *out++ = '.';
        std::memcpy(out, n.digits, static_cast<std::size_t>(n.digitsKept));
        out += n.digitsKept;
        if (n.digitsDropped) *out++ = '1';
        const std::int64_t written = n.exponentNegative ? -n.exponentValue : n.exponentValue;
        const std::int64_t exponent = (hex ? 4 * n.point : n.point) + written;
        out += std::snprintf(out, 24, "%c%lld", hex ? 'p' : 'e', static_cast<long long>(exponent));
    }
    *out = '\0';
    return static_cast<std::size_t>(out - scanner.compact);
}

// The value of the collected text, converted as strtod / strtof would.
template <typename Real>
bool convertNumber(Real& value) {
    if (convertExactly(value)) return true;
    const char* first = scanner.number.text;
    std::size_t length = scanner.number.length;
    if (length > kNumberTextKeep) {
        length = writeCompact();
        first = scanner.compact;
    } else {
        scanner.number.text[length] = '\0';
    }
    const char* last = first + length;
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
    if constexpr (sizeof(Real) == sizeof(float))
        parsed = std::strtof(first, &stop);
    else
        parsed = std::strtod(first, &stop);
    if (stop == first) return false;
    value = parsed;
    return true;
}

// The line and column of input offset `offset`. A word holds no line break,
// so a word that began before the lines counted so far stands on the line
// they end on.
void placeReport(SceneReport& r, std::uint64_t offset) {
    if (offset > scanner.cursor.offset) advanceCursor(offset);
    r.line = scanner.cursor.line;
    r.column = offset > scanner.cursor.lineStart ? offset - scanner.cursor.lineStart : 0;
}

// Whether a word at input offset `offset` is the rest of a word reported
// already, which it is while no blank stands between them.
bool inQuietWord(std::uint64_t offset) {
    if (offset < scanner.quietUntil) return true;
    if (!scanner.quietOpen) return false;
    if (offset < scanner.quietChecked) return true;
    const std::uint64_t held = scanner.blockStart + scanner.end;
    settleQuietWord(std::min(offset + 1, held));
    if (!scanner.quietOpen) return offset < scanner.quietUntil;
    if (offset < held) return true;
    // The word runs to the end of the input: `offset` is past it.
    scanner.quietOpen = false;
    scanner.quietUntil = held;
    return false;
}

bool looksLikeNumber(const char* text, std::size_t length) {
    std::size_t i = 0;
    if (i < length && (text[i] == '-' || text[i] == '+')) ++i;
    if (i < length && text[i] == '.') ++i;
    return i < length && isDigit(text[i]);
}

void keepWord(SceneReport& r, const char* text, std::size_t kept, std::size_t length) {
    r.wordLength = std::min(kept, kTokenKeep);
    std::memcpy(r.word, text, r.wordLength);
    r.wordCut = length > r.wordLength;
}

// A token that is no keyword, unless it is the rest of a word reported.
// Numbers after an unknown word are its own (a misspelt keyword's numbers,
// the numbers after a word that is not one): the word alone is reported.
__attribute__((noinline)) void noteUnknownWord(std::uint64_t offset, const char* text,
                                               std::size_t kept, std::size_t length) {
    const bool itsNumber = scanner.afterUnknown && looksLikeNumber(text, kept);
    scanner.afterUnknown = true;
    if (itsNumber || inQuietWord(offset)) return;
    SceneReport* r = newReport();
    if (r == nullptr) return;
    r->kind = ReportKind::UnknownWord;
    placeReport(*r, offset);
    keepWord(*r, text, kept, length);
}

// A new reading: its lines, reports and fingerprint start afresh.
void startReading() {
    scanClose();
    scanner.cursor = LineCursor{};
    scanner.countLater = false;
    scanner.quietUntil = 0;
    scanner.quietOpen = false;
    scanner.missingAt = UINT64_MAX;
    scanner.afterUnknown = false;
    scanner.fingerprint = 0xcbf29ce484222325;
    startReportLog();
}

}  // namespace

ScanOpen scanOpenFile(const char* path) {
    startReading();
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ScanOpen::Missing : ScanOpen::Unreadable;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return ScanOpen::Unreadable;
    }
    scanner.fd = fd;
    scanner.ownsFd = true;
    scanner.data = scanBlock;
    scanner.atEnd = false;
#ifndef _WIN32  // a text-mode read there takes fewer bytes than the file holds
    scanner.countLater = S_ISREG(info.st_mode);
#endif
    // A file that opens but refuses to be read is no scene either; finding
    // out now, before any output is touched, costs nothing.
    if (!refill() && scanner.readFailed) {
        scanClose();
        return ScanOpen::Unreadable;
    }
    return ScanOpen::Opened;
}

void scanOpenMemory(const void* data, std::size_t size) {
    startReading();
    scanner.data = static_cast<const unsigned char*>(data);
    scanner.end = size;
    scanner.atEnd = true;
    if (scanner.fingerprinting) mixFingerprint(scanner.data, size);
}

void scanOpenDescriptor(int fd, const void* held, std::size_t length) {
    startReading();
    scanner.fd = fd;
    scanner.prefix = static_cast<const unsigned char*>(held);
    scanner.prefixLeft = length;
    scanner.data = scanBlock;
    scanner.atEnd = false;
}

int scanHandOver(const unsigned char*& held, std::size_t& length) {
    const int fd = scanner.ownsFd ? scanner.fd : -1;
    held = scanner.data + scanner.pos;
    length = scanner.end - scanner.pos;
    scanner.ownsFd = false;
    scanClose();
    return fd;
}

void scanSkipByteOrderMark() {
    static const unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
    if (scanner.pos != 0 || scanner.blockStart != 0) return;
    if (scanner.end < sizeof kMark && scanner.end > 0 && scanner.data[0] == kMark[0])
        makeRoom(sizeof kMark);
    if (scanner.end < sizeof kMark || std::memcmp(scanner.data, kMark, sizeof kMark) != 0) return;
    scanner.pos = sizeof kMark;
    // Columns of the first line count from the byte after it.
    scanner.cursor.lineStart = sizeof kMark;
}

std::int64_t scanFileSize() {
    struct stat info;
    if (scanner.fd < 0 || ::fstat(scanner.fd, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

void scanClose() {
    if (scanner.fd >= 0 && scanner.ownsFd) ::close(scanner.fd);
    scanner.fd = -1;
    scanner.ownsFd = false;
    scanner.prefix = nullptr;
    scanner.prefixLeft = 0;
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
        const unsigned char* const data = scanner.data;
        const std::size_t end = scanner.end;
        while (pos < end && !isBlank(data[pos])) ++pos;
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

bool scanKeyword(StatementKind& kind) {
    if (!skipBlanks()) return false;
    // The common token, short and ended by a blank, found eight bytes at a
    // time: the first byte below '!' ends it if it is a blank.
    if (scanner.end - scanner.pos >= 16 || makeRoom(16)) {
        const unsigned char* const p = scanner.data + scanner.pos;
        std::uint64_t low = 0;
        std::size_t length = 0;
        for (; length < 16; length += 8) {
            std::uint64_t word;
            std::memcpy(&word, p + length, 8);
            constexpr std::uint64_t kHigh = 0x8080808080808080;
            low = ~((word | kHigh) - 0x2121212121212121) & ~word & kHigh;
            if (low != 0) break;
        }
        if constexpr (std::endian::native == std::endian::little) {
            if (low != 0) length += static_cast<std::size_t>(std::countr_zero(low) >> 3);
            if (length < 16 && isBlank(p[length])) {
                kind = matchKeyword(p, length);
                if (kind == StatementKind::Unrecognised) [[unlikely]]
                    noteUnknownWord(scanConsumed(), reinterpret_cast<const char*>(p), length,
                                    length);
                else
                    scanner.afterUnknown = false;
                scanner.pos += length;
                return true;
            }
        }
    }
    const std::uint64_t start = scanConsumed();
    ScanToken token;
    if (!scanToken(token)) return false;
    kind = token.length <= kTokenKeep ? lookupKeyword(token.text) : StatementKind::Unrecognised;
    if (kind == StatementKind::Unrecognised)
        noteUnknownWord(start, token.text, std::min(token.length, kTokenKeep), token.length);
    else
        scanner.afterUnknown = false;
    return true;
}

void scanWordAhead(ScanWord& word) {
    word.atEnd = !skipBlanks();
    word.offset = scanConsumed();
    word.length = word.kept = 0;
    word.open = false;
    if (word.atEnd) return;
    if (scanner.end - scanner.pos <= kTokenKeep) makeRoom(kTokenKeep + 1);
    const unsigned char* const p = scanner.data + scanner.pos;
    const std::size_t held = scanner.end - scanner.pos;
    while (word.length < held && !isBlank(p[word.length])) ++word.length;
    word.open = word.length == held && scanner.data == scanBlock && !scanner.atEnd;
    word.kept = std::min(word.length, kTokenKeep);
    std::memcpy(word.text, p, word.kept);
    word.text[word.kept] = '\0';
}

bool scanNumberStopsInWord(const ScanWord& word) {
    if (scanConsumed() < word.offset + word.length) return true;
    if (!word.open) return false;
    const int next = peek();
    return next != kEnd && !isBlank(next);
}

void scanNoteNumber(const ScanWord& word, bool converted, double value) {
    const std::uint64_t offset = word.atEnd ? scanConsumed() : word.offset;
    if (inQuietWord(offset)) return;
    ReportKind kind = ReportKind::NotANumber;
    if (word.atEnd)
        kind = ReportKind::MissingAtEnd;
    else if (!converted && word.length <= kTokenKeep &&
             lookupKeyword(word.text) != StatementKind::Unrecognised)
        kind = ReportKind::MissingBefore;  // read next as the keyword it is
    if (kind != ReportKind::NotANumber) {
        // Each group of the statement finds the same number missing there.
        if (offset == scanner.missingAt) return;
        scanner.missingAt = offset;
    } else if (word.open) {
        // Its rest is no new word, wherever it ends.
        scanner.quietOpen = true;
        scanner.quietChecked = std::max(word.offset + word.length, scanConsumed());
    } else {
        scanner.quietUntil = word.offset + word.length;
    }
    SceneReport* r = newReport();
    if (r == nullptr) return;
    r->kind = kind;
    r->value = converted ? value : 0.0;
    placeReport(*r, offset);
    keepWord(*r, word.text, word.kept, word.length);
}

void fingerprintScenes(bool on) { scanner.fingerprinting = on; }
std::uint64_t sceneFingerprint() { return scanner.fingerprint; }

std::uint64_t scanLinesTaken(std::uint64_t& lastLineStart) {
    advanceCursor(scanConsumed());
    lastLineStart = scanner.cursor.lineStart;
    return scanner.cursor.line;
}

bool scanDouble(double& value) { return collectNumber() && convertNumber(value); }
bool scanFloat(float& value) { return collectNumber() && convertNumber(value); }

bool scanPlainNumber(bool single, double& value, FixedText& text) {
    if (!skipBlanks()) return false;
    if (scanner.end - scanner.pos < kPlainNumberRoom && !makeRoom(kPlainNumberRoom)) return false;
    const std::size_t taken = readPlainNumber(scanner.data + scanner.pos, single, value, text);
    scanner.pos += taken;
    return taken != 0;
}

int scanPlainNumbers(bool single, int count, double* values, FixedText* texts) {
    constexpr std::size_t kGroupRoom = 1024;  // a statement's numbers, usually
    if (scanner.end - scanner.pos < kGroupRoom) makeRoom(kGroupRoom);
    const unsigned char* p = scanner.data + scanner.pos;
    const int taken = readPlainNumbers(p, scanner.data + scanner.end, single, count, values, texts);
    scanner.pos = static_cast<std::size_t>(p - scanner.data);
    return taken;
}

void scanFailReadsFrom(std::uint64_t offset) { scanner.faultFrom = offset; }

std::uint64_t scanConsumed() { return scanner.blockStart + scanner.pos; }
bool scanReadFailed() { return scanner.readFailed; }
