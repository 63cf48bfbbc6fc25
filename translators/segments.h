// Where a scene may be cut so that each piece reads alone exactly as it
// reads within the whole.
#pragma once

#include <cstddef>

// The start of the last keyword in `bytes` that stands between two blanks,
// or 0 if there is none. The reading loop takes such a word as a statement
// of its own whatever precedes it: no number takes a blank or a letter of a
// keyword, so a statement before it ends at it as it would at the end of
// the input. A keyword that touches the end of `bytes` may be longer in
// the scene and is not taken.
std::size_t lastCut(const unsigned char* bytes, std::size_t length);
