#include "indent.h"

#include <cstring>

void resetIndent(IndentPrefix& prefix, int length) {
    std::memset(prefix.blanks, ' ', kIndentCapacity);
    prefix.length = length;
    prefix.blanks[length] = '\0';
    prefix.beyond = 0;
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
