// What the glTF export gathers from a scene before it writes: nodes, the
// shared unit meshes, materials and lights, in the order the file lists
// them. Kept small per node, since a big scene has hundreds of thousands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "evaluation/evaluation.h"
#include "evaluation/tessellation.h"
#include "gltf_affine.h"
#include "gltf_json.h"

// One glTF node as it is written; translation, rotation and scale only
// where they differ from the identity. Nodes are written as soon as they
// are whole (a group at its Pop, after its contents), so a node's number is
// its place in that order.
struct GltfNode {
    std::int32_t mesh = -1;
    std::int32_t light = -1;
    bool camera = false;
    float translation[3] = {0, 0, 0};
    float rotation[4] = {0, 0, 0, 1};  // quaternion x y z w
    float scale[3] = {1, 1, 1};
};

// A solid shape stored once, at unit size; nodes scale it.
struct GltfGeometry {
    StatementKind kind;
    bool negativeRadius, negativeHeight;  // the cylinder's and the cone's mirrored forms
    SolidMesh mesh;
};

// The values of a glTF material, already mapped (linear colours).
struct GltfMaterial {
    float baseColour[3];
    float emissive[3];
    float roughness;
    bool operator==(const GltfMaterial&) const = default;
};

struct GltfMaterialHash {
    std::size_t operator()(const GltfMaterial& m) const {
        std::uint32_t words[7];
        std::memcpy(words, &m, sizeof words);
        std::uint64_t h = 1469598103934665603ull;
        for (std::uint32_t w : words) h = (h ^ w) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};

struct GltfLight {
    enum Type { Point, Directional, Spot } type;
    float colour[3];  // linear, largest component 1 (or black)
    float intensity;
    float innerCone, outerCone;  // radians, spot lights only
};

// A group open around the statements being read: its node's values, the
// frame a reader will compute for it and its inverse (column-major, double
// for the products), and the nodes written inside it so far.
struct GltfGroup {
    GltfNode node;
    double frame[16], inverse[16];
    std::vector<std::int32_t> children;
};

// The last solid's matrix, split into nodes' values.
struct SolidFrame {
    float modelview[16];
    std::uint64_t group = ~0ull;  // the groupSerial it was split in
    bool usable = false;
    TrsSplit split;
};

struct RecentMaterial {
    EvalMaterial material;
    std::int32_t index = -1;
};
constexpr int kRecentMaterials = 8;

struct GltfModel {
    JsonText nodes;  // the nodes' objects, comma-separated
    std::int32_t nodeCount = 0;
    JsonText lights;  // the lights' objects
    std::int32_t lightCount = 0;
    std::vector<GltfGeometry> geometries;  // in the order nodes first used them
    std::int32_t geometryOfShape[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    JsonText meshesText;  // the meshes' objects
    std::int32_t meshCount = 0;
    std::vector<std::int32_t> meshOf;  // [material * kGltfShapes + shape], -1 if none yet
    JsonText materialsText;            // the materials' objects
    std::int32_t materialCount = 0;
    std::unordered_map<GltfMaterial, std::int32_t, GltfMaterialHash> materialIndex;
    // The open groups that have nodes, the scene's top level first (its
    // children are the scene's roots).
    std::vector<GltfGroup> groups;
    long long flattenedGroups = 0;
    std::uint64_t groupSerial = 0;  // changes at every group opened or closed
    SolidFrame lastFrame;           // open groups nested too deep to have nodes of their own
    std::uint32_t materialVersion = 0;
    std::int32_t material = -1;  // glTF material of materialVersion, -1 until known
    RecentMaterial recentMaterials[kRecentMaterials];
    unsigned nextRecent = 0;
};

// Shapes stored at most: the box, the sphere, and the cylinder and the cone
// with each sign of radius and height.
constexpr int kGltfShapes = 10;

// Groups nested deeper than this have no node of their own: their contents
// hang on the group at this depth. Readers walk the node tree recursively
// (Blender's importer in Python among them); 64 levels stay far from any
// reader's limit while covering every scene a person writes by hand.
constexpr int kGltfMaxGroupDepth = 64;

// gltf_tree.cpp: the node tree, from the evaluation's steps.
void startGltfTree(GltfModel& model);
void gltfOpenGroup(GltfModel& model, const float* modelview);
void gltfCloseGroup(GltfModel& model);
void gltfAddSolid(GltfModel& model, const EvalSolid& solid, const EvalMaterial& material);
void gltfAddLight(GltfModel& model, const EvalAddedLight& light, const EvalLight& unit);
void finishGltfTree(GltfModel& model, bool sceneAddedLights);

// gltf_looks.cpp: the material and light mapping rules.
GltfMaterial gltfMaterialOf(const EvalMaterial& material);
std::int32_t gltfMaterialIndex(GltfModel& model, const GltfMaterial& material);
GltfLight gltfLightOf(const EvalAddedLight& light, const EvalLight& unit, double distance);
GltfLight gltfDefaultLight();

// gltf_document.cpp: the objects of the JSON, and the binary glTF file
// (false if a write failed).
std::int32_t gltfWriteNode(GltfModel& model, const GltfNode& node,
                           const std::vector<std::int32_t>& children);
std::int32_t gltfWriteLight(GltfModel& model, const GltfLight& light);
void gltfWriteMaterial(JsonText& out, const GltfMaterial& material);
bool writeGltfFile(std::FILE* file, GltfModel& model);

// gltf_geometry.cpp: the shared unit shapes. A solid's shape (0 to
// kGltfShapes - 1), or -1 for a solid the window does not draw; `scale`
// receives the node scale that gives the solid's size. The mesh of a shape
// in a material, made (and written) the first time; -1 if it has no triangles.
std::int32_t gltfShapeFor(StatementKind kind, const double* size, double scale[3]);
std::int32_t gltfMeshFor(GltfModel& model, std::int32_t shape, std::int32_t material);
