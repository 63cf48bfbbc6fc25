// The line every mode writes for a statement it reads.
#pragma once

#include "scene/scene.h"
#include "scene/textout.h"

// The keyword and " %f" for each number as read, with the spot light's
// cut-off angle right after its intensity. No line break.
void textPutEcho(TextOut& out, const SceneStatement& statement);
