// The scanner's seam for tests; no program includes this.
#pragma once

#include <cstdint>

// Every read of a scene file from this byte offset on fails as a failing
// disk would make it fail; UINT64_MAX (the default) turns it off.
void scanFailReadsFrom(std::uint64_t offset);
