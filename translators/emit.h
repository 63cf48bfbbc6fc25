// Writing a translated statement from a pattern: '$' stands for the indent
// prefix and '#' for the next number, given as the text "%f" writes for it.
// The pattern is split into its pieces at compile time, so the literal runs
// are copied with lengths known to the compiler, and the room for the whole
// statement is made once, so no piece checks it.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

#include "scene/textout.h"
#include "indent.h"

template <std::size_t N>
struct Pattern {
    char text[N];
    constexpr Pattern(const char (&literal)[N]) {
        for (std::size_t i = 0; i < N; ++i) text[i] = literal[i];
    }
};

namespace emit_detail {

struct Piece {
    std::size_t start;
    std::size_t length;  // 0 for a placeholder
    char placeholder;    // '$', '#', or 0 for literal text
};

template <Pattern P>
constexpr std::size_t pieceCount() {
    std::size_t count = 0, run = 0;
    for (std::size_t i = 0; i + 1 < sizeof P.text; ++i) {
        if (P.text[i] == '$' || P.text[i] == '#')
            count += (run > 0) + 1, run = 0;
        else
            ++run;
    }
    return count + (run > 0);
}

template <Pattern P>
constexpr auto pieces() {
    std::array<Piece, pieceCount<P>()> result{};
    std::size_t n = 0, runStart = 0;
    for (std::size_t i = 0; i + 1 < sizeof P.text; ++i) {
        if (P.text[i] != '$' && P.text[i] != '#') continue;
        if (i > runStart) result[n++] = {runStart, i - runStart, 0};
        result[n++] = {i, 0, P.text[i]};
        runStart = i + 1;
    }
    if (sizeof P.text - 1 > runStart) result[n++] = {runStart, sizeof P.text - 1 - runStart, 0};
    return result;
}

template <Pattern P>
constexpr std::size_t numberCount() {
    std::size_t count = 0;
    for (char c : P.text) count += c == '#';
    return count;
}

// Copies `length` bytes from a source with at least 16 readable, 16 at a
// time: the bytes copied past the end are overwritten by what follows.
inline char* putRun(char* to, const char* from, std::size_t length) {
    std::memcpy(to, from, 16);
    if (length > 16) [[unlikely]]
        std::memcpy(to + 16, from + 16, length - 16);
    return to + length;
}

template <Pattern P, Piece piece>
inline char* put(char* to, const IndentPrefix& prefix, const FixedText* const*& number) {
    if constexpr (piece.placeholder == '$') {
        return putRun(to, prefix.blanks, static_cast<std::size_t>(prefix.length));
    } else if constexpr (piece.placeholder == '#') {
        const FixedText& text = **number++;
        return putRun(to, text.text, text.length);
    } else {
        std::memcpy(to, P.text + piece.start, piece.length);
        return to + piece.length;
    }
}

// The most a statement writes: its literal text, a full prefix on each of
// its lines and the longest number text for each number, with 16 bytes to
// spare for the last copy.
template <Pattern P>
constexpr std::size_t mostWritten() {
    std::size_t most = 16;
    for (std::size_t i = 0; i + 1 < sizeof P.text; ++i)
        most += P.text[i] == '$' ? kIndentCapacity : P.text[i] == '#' ? kFixedMaxLength : 1;
    return most;
}

}  // namespace emit_detail

template <Pattern P, typename... Numbers>
inline void emit(TextOut& out, const IndentPrefix& prefix, const Numbers&... numbers) {
    static_assert(emit_detail::numberCount<P>() == sizeof...(Numbers),
                  "the pattern's '#' and the numbers given differ in count");
    constexpr std::size_t most = emit_detail::mostWritten<P>();
    static_assert(most <= kTextOutCapacity, "a statement must fit the output block");
    constexpr auto pieces = emit_detail::pieces<P>();
    if (out.length + most > kTextOutCapacity) textFlush(out);
    const FixedText* const texts[] = {&numbers..., nullptr};
    const FixedText* const* number = texts;
    char* to = out.buffer + out.length;
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        ((to = emit_detail::put<P, pieces[I]>(to, prefix, number)), ...);
    }
    (std::make_index_sequence<pieces.size()>());
    out.length = static_cast<std::size_t>(to - out.buffer);
}
