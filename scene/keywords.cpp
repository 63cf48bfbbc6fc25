#include "scene/scene.h"
#include "statement_shape.h"

#include <array>
#include <cstring>

namespace {

struct KeywordEntry {
    const char* text;
    StatementShape shape;
};

// In lookup order; index is the StatementKind. Each group is the numbers one
// scanf call reads: a failed number ends its group, the next group reads on.
const KeywordEntry kKeywords[] = {
    {"", {0, 0, {}}},
    {"Cube", {3, 1, {3}}},
    {"Sphere", {1, 1, {1}}},
    {"Cylindre", {2, 1, {2}}},
    {"Cone", {2, 1, {2}}},
    {"Translation", {3, 1, {3}}},
    {"Rotation", {4, 1, {4}}},
    {"Zoom", {3, 1, {3}}},
    {"Push", {0, 0, {}}},
    {"Pop", {0, 0, {}}},
    {"Material", {13, 5, {3, 3, 3, 3, 1}}},
    {"Pointlight", {7, 3, {3, 1, 3}}},
    {"Dirlight", {7, 3, {3, 1, 3}}},
    {"Spotlight", {11, 5, {3, 3, 1, 3, 1}}},
};

constexpr int kKeywordCount = sizeof(kKeywords) / sizeof(kKeywords[0]);

}  // namespace

StatementKind lookupKeyword(const char* token) {
    // Keywords start with a capital; only those sharing the first letter are
    // compared whole.
    const char first = token[0];
    if (first < 'C' || first > 'Z') return StatementKind::Unrecognised;
    for (int k = 1; k < kKeywordCount; ++k) {
        const char* text = kKeywords[k].text;
        if (text[0] == first && std::strcmp(token + 1, text + 1) == 0)
            return static_cast<StatementKind>(k);
    }
    return StatementKind::Unrecognised;
}

const char* keywordText(StatementKind kind) { return kKeywords[static_cast<int>(kind)].text; }

std::size_t keywordLength(StatementKind kind) {
    static const auto kLengths = [] {
        std::array<std::size_t, kKeywordCount> lengths{};
        for (int k = 0; k < kKeywordCount; ++k) lengths[k] = std::strlen(kKeywords[k].text);
        return lengths;
    }();
    return kLengths[static_cast<int>(kind)];
}

const StatementShape& statementShape(StatementKind kind) {
    return kKeywords[static_cast<int>(kind)].shape;
}
