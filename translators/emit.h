// Writing a translated statement from a pattern: '$' stands for the indent
// prefix and '#' for the next number, given as the text "%f" writes for it. The pattern
// is split into its pieces at compile time, so the literal runs are copied
// with lengths known to the compiler.
#pragma once

#include <array>
#include <cstddef>
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

template <Pattern P, Piece piece>
inline void put(TextOut& out, const IndentPrefix& prefix, const FixedText* const*& number) {
    if constexpr (piece.placeholder == '$') {
        textPut(out, prefix.blanks, static_cast<std::size_t>(prefix.length));
    } else if constexpr (piece.placeholder == '#') {
        textPut(out, **number++);
    } else {
        textPut(out, P.text + piece.start, piece.length);
    }
}

}  // namespace emit_detail

template <Pattern P, typename... Numbers>
inline void emit(TextOut& out, const IndentPrefix& prefix, const Numbers&... numbers) {
    static_assert(emit_detail::numberCount<P>() == sizeof...(Numbers),
                  "the pattern's '#' and the numbers given differ in count");
    constexpr auto pieces = emit_detail::pieces<P>();
    const FixedText* const texts[] = {&numbers..., nullptr};
    const FixedText* const* number = texts;
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (emit_detail::put<P, pieces[I]>(out, prefix, number), ...);
    }
    (std::make_index_sequence<pieces.size()>());
}
