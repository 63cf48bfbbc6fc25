// The keyword table's private side: how many numbers a statement takes,
// how they are grouped into reads, and keywords matched straight from the
// bytes of a scene.
#pragma once

#include <cstddef>

#include "scene/scene.h"

struct StatementShape {
    int count;
    int groupCount;
    int groups[5];
};

const StatementShape& statementShape(StatementKind kind);

// The keyword `length` bytes at `token` spell (no NUL among them), or
// Unrecognised; 16 bytes must be readable at `token`.
StatementKind matchKeyword(const unsigned char* token, std::size_t length);
