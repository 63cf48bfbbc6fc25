#include "scene/echo.h"

#include <array>

namespace {

// Room for the longest echo: the longest keyword, then a blank and the
// longest number text for each number, with 16 bytes to spare.
constexpr std::size_t kMostEchoed = 16 + kMaxNumbers * (1 + kFixedMaxLength) + 16;

// `length` bytes from a source with 16 readable, 16 at a time: what is
// copied past the end is overwritten next.
inline char* putRun(char* to, const char* from, std::size_t length) {
    std::memcpy(to, from, 16);
    if (length > 16) [[unlikely]]
        std::memcpy(to + 16, from + 16, length - 16);
    return to + length;
}

// The keywords padded to 16 bytes, so that each is copied in one move.
struct PaddedKeyword {
    char text[16];
    std::size_t length;
};

const PaddedKeyword& paddedKeyword(StatementKind kind) {
    static const auto kPadded = [] {
        std::array<PaddedKeyword, 14> padded{};
        for (int k = 0; k < 14; ++k) {
            const auto kind = static_cast<StatementKind>(k);
            padded[k].length = keywordLength(kind);
            std::memcpy(padded[k].text, keywordText(kind), padded[k].length);
        }
        return padded;
    }();
    return kPadded[static_cast<std::size_t>(kind)];
}

}  // namespace

void textPutEcho(TextOut& out, const SceneStatement& statement) {
    static const int kSpotEchoOrder[] = {0, 1, 2, 3, 4, 5, 6, 10, 7, 8, 9};
    if (out.length + kMostEchoed > kTextOutCapacity) textFlush(out);
    char* to = out.buffer + out.length;
    const PaddedKeyword& keyword = paddedKeyword(statement.kind);
    std::memcpy(to, keyword.text, 16);
    to += keyword.length;
    const bool spot = statement.kind == StatementKind::Spotlight;
    for (int n = 0; n < statement.count; ++n) {
        const FixedText& text = statement.texts[spot ? kSpotEchoOrder[n] : n];
        *to++ = ' ';
        to = putRun(to, text.text, text.length);
    }
    out.length = static_cast<std::size_t>(to - out.buffer);
}
