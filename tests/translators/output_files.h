// What the tests of replacing an output share: the earlier content a
// failure must keep, a scene large enough to be cut short, and a count of
// the names in a folder, so that a failure is seen to leave no new file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

inline const std::string kEarlier = "an earlier output, kept whole\n";

inline std::string manyCubes(int count) {
    std::string scene;
    for (int k = 0; k < count; ++k) scene += "Push Translation 1 2 3 Cube 1 2 3 Pop\n";
    return scene;
}

inline std::size_t entriesIn(const std::string& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}
