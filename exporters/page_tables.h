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

// Entries of N floats, each kept once (compared bit for bit).
template <std::size_t N>
struct FloatTable {
    using Key = std::array<std::uint32_t, N>;
    struct KeyHash {
        std::size_t operator()(const Key& key) const {
            std::uint64_t h = 0xcbf29ce484222325ull;
            for (std::uint32_t word : key) h = (h ^ word) * 0x100000001b3ull;
            return static_cast<std::size_t>(h ^ (h >> 29));
        }
    };
    std::vector<float> values;  // N per entry
    std::unordered_map<Key, std::uint32_t, KeyHash> index;

    std::uint32_t size() const { return static_cast<std::uint32_t>(values.size() / N); }
    std::uint32_t add(const float* entry) {
        Key key;
        std::memcpy(key.data(), entry, sizeof key);
        const auto [found, added] = index.try_emplace(key, size());
        if (added) values.insert(values.end(), entry, entry + N);
        return found->second;
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
