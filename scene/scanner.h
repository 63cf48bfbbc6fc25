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
// Reads `held` first, then from `fd`, which stays open at the close.
void scanOpenDescriptor(int fd, const void* held, std::size_t length);
// Gives the open file's descriptor to the caller, with the bytes read from
// it and not taken yet (valid until the next reading on this thread), and
// closes the reading; -1 for an input in memory.
int scanHandOver(const unsigned char*& held, std::size_t& length);
// Takes a UTF-8 byte-order mark at the very start of the input, which some
// editors write in front of a text: the reading goes on as if it were not
// there, columns included.
void scanSkipByteOrderMark();
std::int64_t scanFileSize();  // of the open file, if a regular file; else -1
void scanClose();

// Each returns false when nothing was converted; what was consumed then is
// what the C library would have consumed.
bool scanToken(ScanToken& token);
// A token as "%s" reads it, told as the keyword it is, as lookupKeyword
// tells a token of at most kTokenKeep bytes.
enum class StatementKind : int;
bool scanKeyword(StatementKind& kind);
bool scanDouble(double& value);
bool scanFloat(float& value);

// The common case in one step: a plain decimal such as "-12.5" followed by
// white space, with its value (read in single precision when `single`) and
// its "%f" text. False, with nothing but white space taken, when the number
// is anything else; scanDouble / scanFloat then read it.
struct FixedText;
bool scanPlainNumber(bool single, double& value, FixedText& text);

// The same for up to `count` numbers in a row: how many were read. Fewer
// when one is not of that kind, or lies too near the end of the input.
int scanPlainNumbers(bool single, int count, double* values, FixedText* texts);

std::uint64_t scanConsumed();  // bytes taken from the input so far

// The word where a number is about to be read, as the user wrote it (up to
// the next blank), for the report made when the number is not all of it.
struct ScanWord {
    std::uint64_t offset;
    std::size_t length;  // as far as the bytes held show it
    std::size_t kept;
    bool atEnd;  // no word: the input ends
    bool open;   // it reaches the end of the bytes held: it may be longer
    char text[kTokenKeep + 1];
};
void scanWordAhead(ScanWord& word);
// After a number is read from `word`: whether it stopped short of the
// word's end, wherever that end lies.
bool scanNumberStopsInWord(const ScanWord& word);
// Reports the number read from `word`: none could be read (`converted`
// false), or it took only the start of the word, giving `value`.
void scanNoteNumber(const ScanWord& word, bool converted, double value);
// Line breaks taken so far, and where the last line starts.
std::uint64_t scanLinesTaken(std::uint64_t& lastLineStart);

bool scanReadFailed();  // an input error (not the end) stopped reading
