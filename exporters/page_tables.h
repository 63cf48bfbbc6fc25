// What the page carries of a scene, gathered from the evaluation: each table
// holds distinct entries only, and every solid names its entry in each.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "evaluation/evaluation.h"

// Entries of N floats (compared bit for bit). An entry met again is found
// through a fixed table of recent entries by hash, so the memory it takes
// does not grow with the scene: a scene of a million distinct entries keeps
// their values only, and an entry that comes back after others took its
// slot is kept twice.
template <std::size_t N>
struct FloatTable {
    static constexpr std::size_t kSlots = 1 << 14;
    static constexpr std::uint32_t kEmpty = 0xffffffffu;
    std::vector<float> values;  // N per entry
    std::vector<std::uint32_t> recent = std::vector<std::uint32_t>(kSlots, kEmpty);

    std::uint32_t size() const { return static_cast<std::uint32_t>(values.size() / N); }
    std::uint32_t add(const float* entry) {
        std::uint32_t words[N];
        std::memcpy(words, entry, sizeof words);
        std::uint64_t h = 0xcbf29ce484222325ull;
        for (std::uint32_t word : words) h = (h ^ word) * 0x100000001b3ull;
        std::uint32_t& slot = recent[(h ^ (h >> 29)) & (kSlots - 1)];
        if (slot != kEmpty && std::memcmp(&values[slot * N], entry, sizeof words) == 0) return slot;
        slot = size();
        values.insert(values.end(), entry, entry + N);
        return slot;
    }
};

// A mesh the page builds its vertex buffer from; solids of the same kind
// whose meshes differ only by a scale along the axes share one.
struct PageMesh {
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<std::uint32_t> triangles;
    // The same quads split along their other diagonals, as Mesa splits the
    // quads the support module sends directly (the sides of cylinders and
    // cones) when one of their vertices lies outside the view and they are
    // clipped; empty for meshes that have no such quads.
    std::vector<std::uint32_t> clippedTriangles;
    // A cone's normals lean with the ratio of its radius to its height: a
    // cone drawn from another's mesh takes them through the inverse of its
    // scale, made unit length again.
    bool normalsFollowScale = false;
};

// Per solid, one index into each table, in this order.
enum PageColumn {
    MeshColumn,
    ScaleColumn,
    LinearColumn,
    TranslationColumn,
    MaterialColumn,
    LightsColumn,
    kPageColumns
};

constexpr std::size_t kMaterialFloats = 13;  // ambient, diffuse, specular, emission rgb; shininess
constexpr std::size_t kLightFloats = 22;     // see lightEntry in page_tables.cpp

struct PageTables {
    std::vector<PageMesh> meshes;
    FloatTable<3> scales;
    FloatTable<9> linears;  // the modelview's upper 3 x 3, column-major
    FloatTable<3> translations;
    FloatTable<kMaterialFloats> materials;
    std::vector<std::vector<float>> lightSets;  // kLightFloats per light in effect
    std::vector<std::uint32_t> columns[kPageColumns];
};

void startPageTables();
void takePageStatement(const SceneStatement& statement);
const PageTables& pageTables();

// Mesh sharing (page_meshes.cpp): the mesh and scale a solid is drawn with.
struct MeshChoice {
    std::uint32_t mesh;
    float scale[3];
};
void startMeshSharing();
MeshChoice shareMesh(StatementKind kind, const double* size, std::vector<PageMesh>& meshes);

// The tables as little-endian binary, base64 (page_encode.cpp); false if a
// write failed.
bool writePageData(const PageTables& tables, std::FILE* output);
