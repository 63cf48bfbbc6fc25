#include "segments.h"

#include <cstring>

#include "scene/scene.h"

namespace {

constexpr std::size_t kLongestKeyword = 11;  // "Translation"

inline bool isBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

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
