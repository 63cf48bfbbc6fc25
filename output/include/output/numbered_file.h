// A new file under the first free name of a series (robot-1.png,
// robot-2.png...), written whole or not at all: F12's pictures.
#pragma once

#include <cstddef>
#include <string>

#include "output/result.h"

// Writes `bytes` as `prefix` N `suffix` with the first N whose name is not
// taken. The name is claimed first, empty, and the bytes then take it whole
// from a new file beside it, so no reader sees a part of them. On success
// `path` is the name; on failure it is the name it failed on, `error` why,
// and nothing is left behind. Says nothing.
OutputResult writeNumberedFile(const std::string& prefix, const std::string& suffix,
                               const unsigned char* bytes, std::size_t size);
