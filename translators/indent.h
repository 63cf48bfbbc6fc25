// The run of blanks in front of each translated line, one blank deeper per
// open Push. Nesting beyond its capacity stops the prefix from growing but
// is still counted, so the prefix shrinks back in step with the Pops.
#pragma once

constexpr int kIndentCapacity = 1000;  // blanks plus the terminator

struct IndentPrefix {
    char blanks[kIndentCapacity];
    int length;
    int beyond;  // pushes not shown because the prefix is full
};

void resetIndent(IndentPrefix& prefix, int length);
void pushIndent(IndentPrefix& prefix);
void popIndent(IndentPrefix& prefix);
