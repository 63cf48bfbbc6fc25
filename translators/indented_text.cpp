#include "indented_text.h"

#include <algorithm>
#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "indent.h"

namespace {

constexpr std::size_t kSpare = 16;

}  // namespace

char* makeRoom(Text& text, std::size_t more) {
    if (text.size + more + kSpare > text.capacity) {
        const std::size_t capacity = std::max(2 * text.capacity, text.size + more + kSpare);
        std::unique_ptr<char[]> data(new char[capacity]);
        if (text.size > 0) std::memcpy(data.get(), text.data.get(), text.size);
        text.data = std::move(data);
        text.capacity = capacity;
    }
    return text.data.get() + text.size;
}

void appendText(Text& text, const char* data, std::size_t size) {
    std::memcpy(makeRoom(text, size), data, size);
    text.size += size;
}

void appendIndented(Text& to, const char* p, const char* const end, std::size_t blanks) {
    static const auto kBlanks = [] {
        std::array<char, kIndentCapacity + kSpare> all;
        all.fill(' ');
        return all;
    }();
    char* out = makeRoom(to, static_cast<std::size_t>(end - p) + blanks);
    char* limit = to.data.get() + to.capacity - kSpare;
    while (p < end) {
        if (out + blanks + 16 > limit) {
            to.size = static_cast<std::size_t>(out - to.data.get());
            out = makeRoom(to, static_cast<std::size_t>(end - p) + 2 * blanks + 16);
            limit = to.data.get() + to.capacity - kSpare;
        }
        for (std::size_t n = 0; n < blanks; n += 16) std::memcpy(out + n, kBlanks.data() + n, 16);
        out += blanks;
#ifdef __SSE2__
        // Sixteen bytes at a time up to the line break: the text has 16
        // readable bytes after its end, and `out` room for them.
        for (;;) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
            const int breaks = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
            if (breaks != 0) {
                const int length = __builtin_ctz(static_cast<unsigned>(breaks)) + 1;
                out += length;
                p += length;
                break;
            }
            out += 16;
            p += 16;
            if (out + 16 > limit) {
                to.size = static_cast<std::size_t>(out - to.data.get());
                out = makeRoom(to, static_cast<std::size_t>(end - p) + 2 * blanks + 16);
                limit = to.data.get() + to.capacity - kSpare;
            }
        }
#else
        const char* line = static_cast<const char*>(std::memchr(p, '\n', end - p));
        line = line ? line + 1 : end;
        if (out + (line - p) > limit) {
            to.size = static_cast<std::size_t>(out - to.data.get());
            out = makeRoom(to, static_cast<std::size_t>(end - p) + blanks);
            limit = to.data.get() + to.capacity - kSpare;
        }
        std::memcpy(out, p, static_cast<std::size_t>(line - p));
        out += line - p;
        p = line;
#endif
    }
    to.size = static_cast<std::size_t>(out - to.data.get());
}
