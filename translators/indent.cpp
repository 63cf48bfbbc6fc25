#include "indent.h"

#include <algorithm>
#include <cstring>

void resetIndent(IndentPrefix& prefix, int initial, std::uint64_t depth) {
    std::memset(prefix.blanks, ' ', kIndentCapacity);
    const std::uint64_t wanted = static_cast<std::uint64_t>(initial) + depth;
    prefix.length = static_cast<int>(std::min<std::uint64_t>(wanted, kIndentCapacity - 1));
    prefix.blanks[prefix.length] = '\0';
    prefix.beyond = wanted - static_cast<std::uint64_t>(prefix.length);
}

void pushIndent(IndentPrefix& prefix) {
    if (prefix.length == kIndentCapacity - 1) {
        ++prefix.beyond;
        return;
    }
    prefix.blanks[prefix.length++] = ' ';
    prefix.blanks[prefix.length] = '\0';
}

void popIndent(IndentPrefix& prefix) {
    if (prefix.beyond > 0) {
        --prefix.beyond;
        return;
    }
    if (prefix.length == 0) return;
    prefix.blanks[--prefix.length] = '\0';
}
