// The fuzz targets by name, for the libFuzzer entry and the replay test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzTarget {
    const char* name;
    void (*setUp)();  // once per process; may be null
    std::string (*check)(const std::uint8_t* data, std::size_t size);
};

constexpr int kFuzzTargetCount = 5;
extern const FuzzTarget kFuzzTargets[kFuzzTargetCount];
const FuzzTarget* findFuzzTarget(const std::string& name);

// Runs a check on a copy of `data` in a heap block of exactly its size, as
// libFuzzer hands inputs over, so that the sanitizers see any read past it.
std::string checkExactCopy(std::string (*check)(const std::uint8_t*, std::size_t),
                           const std::string& data);
