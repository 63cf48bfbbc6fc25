// For tests: a scene file whose reading fails partway, as a failing disk
// would make it fail.
#pragma once

#include <cstdint>

// Every read of a scene file from this byte offset on fails with a read
// error; UINT64_MAX (the default) turns the fault off.
void scanFailReadsFrom(std::uint64_t offset);
