#include "scene/scene.h"
#include "statement_shape.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

struct KeywordEntry {
    const char* text;
    StatementShape shape;
};

// In lookup order; index is the StatementKind. Each group is the numbers one
// scanf call reads: a failed number ends its group, the next group reads on.
constexpr KeywordEntry kKeywords[] = {
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

// A keyword's bytes as two little-endian words, and the bucket its first
// word hashes to: each keyword has a bucket of its own, so one comparison
// tells a token.
struct KeywordWords {
    std::uint64_t first, second;
    std::size_t length;
    StatementKind kind;
};

constexpr std::uint64_t kHashFactor = 0x218f94f2dc7bd9c1;
constexpr int kBuckets = 16;

constexpr std::uint64_t wordOf(const char* text, std::size_t from, std::size_t length) {
    std::uint64_t word = 0;
    for (std::size_t i = from; i < length && i < from + 8; ++i)
        word |= static_cast<std::uint64_t>(static_cast<unsigned char>(text[i])) << (8 * (i - from));
    return word;
}

constexpr std::size_t lengthOf(const char* text) {
    std::size_t n = 0;
    while (text[n]) ++n;
    return n;
}

constexpr int bucketOf(std::uint64_t first) {
    return static_cast<int>((first * kHashFactor) >> 60);
}

constexpr auto kBucketTable = [] {
    std::array<KeywordWords, kBuckets> table{};
    for (int k = 1; k < kKeywordCount; ++k) {
        const char* text = kKeywords[k].text;
        const std::size_t n = lengthOf(text);
        const KeywordWords words = {wordOf(text, 0, n), wordOf(text, 8, n), n,
                                    static_cast<StatementKind>(k)};
        KeywordWords& slot = table[static_cast<std::size_t>(bucketOf(words.first))];
        if (slot.length != 0) throw "two keywords share a bucket";  // not constant: fails to build
        slot = words;
    }
    return table;
}();

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

int keywordNumberCount(StatementKind kind) { return statementShape(kind).count; }

StatementKind matchKeyword(const unsigned char* token, std::size_t length) {
    if (length == 0 || length > 16) return StatementKind::Unrecognised;
    std::uint64_t first, second;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&first, token, 8);
        std::memcpy(&second, token + 8, 8);
    } else {
        const char* text = reinterpret_cast<const char*>(token);
        first = wordOf(text, 0, 16);
        second = wordOf(text, 8, 16);
    }
    const auto keep = [](std::size_t bytes) {
        return bytes >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * bytes)) - 1;
    };
    first &= keep(length);
    second &= length > 8 ? keep(length - 8) : 0;
    const KeywordWords& slot = kBucketTable[static_cast<std::size_t>(bucketOf(first))];
    const bool same = slot.length == length && slot.first == first && slot.second == second;
    return same ? slot.kind : StatementKind::Unrecognised;
}
