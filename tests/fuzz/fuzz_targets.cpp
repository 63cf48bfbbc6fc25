#include "fuzz/fuzz_targets.h"

#include <cstring>
#include <memory>

#include "fuzz/checks.h"

const FuzzTarget kFuzzTargets[kFuzzTargetCount] = {
    {"reader", nullptr, checkReader},  {"vrml", nullptr, checkVrml},
    {"source", nullptr, checkSource},  {"viewer", setUpViewerCheck, checkViewer},
    {"export", nullptr, checkExports},
};

const FuzzTarget* findFuzzTarget(const std::string& name) {
    for (const FuzzTarget& target : kFuzzTargets)
        if (name == target.name) return &target;
    return nullptr;
}

std::string checkExactCopy(std::string (*check)(const std::uint8_t*, std::size_t),
                           const std::string& data) {
    const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[data.size()]);
    if (!data.empty()) std::memcpy(copy.get(), data.data(), data.size());
    return check(copy.get(), data.size());
}
