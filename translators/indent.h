// The run of blanks in front of each translated line, one blank deeper per
// open Push. Nesting beyond its capacity stops the prefix from growing but
// is still counted, so the prefix shrinks back in step with the Pops.
#pragma once

#include <cstdint>

constexpr int kIndentCapacity = 1000;  // blanks plus the terminator

struct IndentPrefix {
    char blanks[kIndentCapacity];
    int length;
    std::uint64_t beyond;  // pushes not shown because the prefix is full
};

// `initial` blanks, and one more for each of `depth` open Pushes.
void resetIndent(IndentPrefix& prefix, int initial, std::uint64_t depth);
void pushIndent(IndentPrefix& prefix);
void popIndent(IndentPrefix& prefix);
