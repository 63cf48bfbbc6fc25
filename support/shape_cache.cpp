// Open-addressed hash of exact sizes: lookups stay constant-time however
// many sizes a scene has met.
#include "shape_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support_internal.h"
#include "support/support_state.h"

namespace {

// Sizes as bit patterns, folded so that bit equality is double equality:
// -0 joins +0, and every NaN joins one NaN so it does not add a list per call.
struct ShapeKey {
    int kind;
    int count;
    std::uint64_t bits[kMaxShapeParams];
};

struct ShapeEntry {
    ShapeKey key;
    GLuint list;
    bool used;  // since the last frame start
};

struct CacheState {
    std::vector<ShapeEntry> entries;   // in the order the sizes were met
    std::vector<std::uint32_t> slots;  // entry index + 1; 0 is empty
    // Screen mode replays the same scene every frame, so the size after the
    // last one found is usually the next one asked for: trying it first walks
    // the entries in order instead of jumping around a large table.
    std::size_t lastFound;
};
CacheState state;

constexpr std::uint64_t kOneNaN = 0x7ff8000000000000ull;

std::uint64_t foldedBits(double value) {
    if (value != value) return kOneNaN;
    if (value == 0) return 0;
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool makeKey(int kind, const double* params, int count, ShapeKey& key) {
    if (count < 0 || count > kMaxShapeParams) return false;
    key = ShapeKey{kind, count, {0, 0, 0}};
    for (int k = 0; k < count; ++k) key.bits[k] = foldedBits(params[k]);
    return true;
}

bool sameKey(const ShapeKey& a, const ShapeKey& b) {
    return a.kind == b.kind && a.count == b.count && a.bits[0] == b.bits[0] &&
           a.bits[1] == b.bits[1] && a.bits[2] == b.bits[2];
}

std::uint64_t hashKey(const ShapeKey& key) {
    std::uint64_t h =
        static_cast<std::uint64_t>(key.kind) << 8 | static_cast<std::uint64_t>(key.count);
    for (int k = 0; k < kMaxShapeParams; ++k) {
        h = (h ^ key.bits[k]) * 0x9e3779b97f4a7c15ull;
        h ^= h >> 29;
    }
    // Finaliser: spreads the high bits into the low ones the mask keeps.
    h *= 0xbf58476d1ce4e5b9ull;
    return h ^ (h >> 32);
}

// Slot holding the key, or the empty slot where it would go.
std::size_t probe(const ShapeKey& key) {
    const std::size_t mask = state.slots.size() - 1;
    std::size_t at = static_cast<std::size_t>(hashKey(key)) & mask;
    while (state.slots[at] != 0 && !sameKey(state.entries[state.slots[at] - 1].key, key))
        at = (at + 1) & mask;
    return at;
}

// Keeps the table at most half full so probe runs stay short.
void growIfNeeded() {
    if ((state.entries.size() + 1) * 2 <= state.slots.size()) return;
    const std::size_t size = state.slots.empty() ? 64 : state.slots.size() * 2;
    state.slots.assign(size, 0);
    for (std::size_t n = 0; n < state.entries.size(); ++n)
        state.slots[probe(state.entries[n].key)] = static_cast<std::uint32_t>(n + 1);
}

}  // namespace

GLuint findShapeList(int kind, const double* params, int count) {
    ShapeKey key;
    if (state.slots.empty() || !makeKey(kind, params, count, key)) return 0;
    const std::size_t guess = state.lastFound + 1;
    if (guess < state.entries.size() && sameKey(state.entries[guess].key, key)) {
        state.lastFound = guess;
        state.entries[guess].used = true;
        return state.entries[guess].list;
    }
    const std::uint32_t slot = state.slots[probe(key)];
    if (slot == 0) return 0;
    state.lastFound = slot - 1;
    state.entries[slot - 1].used = true;
    return state.entries[slot - 1].list;
}

GLuint addShapeList(int kind, const double* params, int count) {
    ShapeKey key;
    if (state.entries.size() >= kMaxShapeLists || !makeKey(kind, params, count, key)) return 0;
    const GLuint list = glGenLists(1);
    if (list == 0) return 0;
    growIfNeeded();
    state.entries.push_back(ShapeEntry{key, list, true});
    state.slots[probe(key)] = static_cast<std::uint32_t>(state.entries.size());
    state.lastFound = state.entries.size() - 1;
    return list;
}

void startShapeFrame() {
    std::size_t kept = 0;
    for (ShapeEntry& entry : state.entries) {
        if (!entry.used) {
            glDeleteLists(entry.list, 1);
            continue;
        }
        entry.used = false;
        state.entries[kept++] = entry;
    }
    if (kept == state.entries.size()) return;
    state.entries.resize(kept);
    std::fill(state.slots.begin(), state.slots.end(), 0);  // the table keeps its size
    for (std::size_t n = 0; n < kept; ++n)
        state.slots[probe(state.entries[n].key)] = static_cast<std::uint32_t>(n + 1);
    state.lastFound = static_cast<std::size_t>(-1);  // the next guess is the first entry
}

std::size_t shapeListCount() { return state.entries.size(); }

void forgetShapeLists() { state = CacheState{}; }
