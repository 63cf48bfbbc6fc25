// How many numbers a statement takes and how they are grouped into reads.
#pragma once

#include "scene/scene.h"

struct StatementShape {
    int count;
    int groupCount;
    int groups[5];
};

const StatementShape& statementShape(StatementKind kind);

struct PlainDecimal;
// The "%f" text of a number read from a plain decimal, straight from its
// digits, when that is exactly what printf would write; false otherwise.
bool setFixedTextFromDecimal(FixedText& fixed, const PlainDecimal& decimal, double value, bool single);
