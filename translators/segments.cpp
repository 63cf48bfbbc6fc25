#include "segments.h"

#include <cstring>

#include "scene/scene.h"

namespace {

constexpr std::size_t kLongestKeyword = 11;  // "Translation"

inline bool isBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Whether the word at `p` is `word` standing alone up to a blank or `end`.
bool wordAt(const unsigned char* p, const unsigned char* end, const char* word, std::size_t n) {
    return static_cast<std::size_t>(end - p) >= n && std::memcmp(p, word, n) == 0 &&
           (end - p == static_cast<std::ptrdiff_t>(n) || isBlank(p[n]));
}

}  // namespace

std::size_t lastCut(const unsigned char* bytes, std::size_t length) {
    for (std::size_t i = length; i-- > 1;) {
        if (isBlank(bytes[i]) || !isBlank(bytes[i - 1])) continue;
        std::size_t end = i;
        while (end < length && end - i <= kLongestKeyword && !isBlank(bytes[end])) ++end;
        if (end == length || !isBlank(bytes[end])) continue;
        char token[kLongestKeyword + 2];
        std::memcpy(token, bytes + i, end - i);
        token[end - i] = '\0';
        if (lookupKeyword(token) != StatementKind::Unrecognised) return i;
    }
    return 0;
}

std::uint64_t depthAfter(const unsigned char* bytes, std::size_t length, std::uint64_t depth) {
    const unsigned char* const end = bytes + length;
    for (const unsigned char* p = bytes; p < end; ++p) {
        p = static_cast<const unsigned char*>(
            std::memchr(p, 'P', static_cast<std::size_t>(end - p)));
        if (p == nullptr) break;
        if (p != bytes && !isBlank(p[-1])) continue;
        if (wordAt(p, end, "Push", 4))
            ++depth;
        else if (wordAt(p, end, "Pop", 3) && depth > 0)
            --depth;
    }
    return depth;
}
