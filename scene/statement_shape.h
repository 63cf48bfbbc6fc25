// How many numbers a statement takes and how they are grouped into reads.
#pragma once

#include "scene/scene.h"

struct StatementShape {
    int count;
    int groupCount;
    int groups[5];
};

const StatementShape& statementShape(StatementKind kind);
