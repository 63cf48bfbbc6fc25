// What the glTF export gathers from a scene before it writes: nodes, the
// shared unit meshes, materials and lights, in the order the file lists
// them. Kept small per node, since a big scene has hundreds of thousands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "evaluation/evaluation.h"
#include "evaluation/tessellation.h"
#include "gltf_affine.h"
#include "gltf_children.h"
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

// The distinct materials, found by their values: open addressing over
// their indices, the table kept at most half full. (Big scenes have tens of
// thousands; a flat table spares a node and its cache miss for each.)
struct MaterialTable {
    std::vector<GltfMaterial> materials;  // by glTF index
    std::vector<std::int32_t> slots;      // index + 1, 0 where empty
};

struct GltfLight {
    enum Type { Point, Directional, Spot } type;
    float colour[3];  // linear, largest component 1 (or black)
    float intensity;
    float innerCone, outerCone;  // radians, spot lights only
};

// A group open around the statements being read: its node's values, the
// frame a reader will compute for it and its inverse (column-major, double
// for the products), and where the nodes written inside it so far start
// in the model's stack of children.
struct GltfGroup {
    GltfNode node;
    double frame[16], inverse[16];
    std::size_t firstChild = 0;
};

// The last matrix split into nodes' values: a solid's as the window holds
// it, and in the frame of the group's node (a group's own at its Push).
// Solids in a row, and a Push after a solid, mostly meet the same matrix.
struct SolidFrame {
    float modelview[16];
    std::uint64_t group = ~0ull;  // the groupSerial a solid's matrix was split in
    double local[16] = {};
    bool usable = false;  // false when the local matrix left single precision
    TrsSplit split;
};

// Sheared solids in a row under the same matrix share the node of its
// T R1 S part; the node is written when the row ends, after its children
// (on the stack of children above the group's). Lights met meanwhile
// belong to the group, before the row's node: they wait.
struct ShearedRow {
    GltfNode node;
    bool open = false;
    std::size_t firstChild = 0;
    std::vector<std::int32_t> lights;
};

struct RecentMaterial {
    EvalMaterial material;
    std::int32_t index = -1;
};
constexpr int kRecentMaterials = 8;

// The text of the last translation or rotation written: solids under one
// matrix repeat them (a row of sheared solids its inner rotation).
struct RecentFloats {
    float values[4];
    char text[80];
    int length = 0;  // 0 until one is written
};

struct GltfModel {
    JsonText nodes;              // the nodes' objects, comma-separated
    bool streamedNodes = false;  // written into the output as they come
    RecentFloats recentTranslation, recentRotation;
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
    MaterialTable materialTable;
    // The open groups that have nodes, the scene's top level first (its
    // children are the scene's roots), and their children.
    std::vector<GltfGroup> groups;
    ChildStack children;
    long long flattenedGroups = 0;  // open groups nested too deep to have nodes of their own
    std::uint64_t groupSerial = 0;  // changes at every group opened or closed
    SolidFrame lastFrame;
    ShearedRow shearedRow;
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
// (false if a write failed). A node's children are those on the stack from
// `firstChild` up (taken off it); none if that is its top.
std::int32_t gltfWriteNode(GltfModel& model, const GltfNode& node, std::size_t firstChild);
std::int32_t gltfWriteLight(GltfModel& model, const GltfLight& light);
void gltfWriteMaterial(JsonText& out, const GltfMaterial& material);
bool writeGltfFile(std::FILE* file, GltfModel& model);
// Before the first node: where the output is a regular file, the nodes go
// into it as they are made, after room for the header (no temporary file,
// no copy at the end).
void gltfStreamNodes(GltfModel& model, std::FILE* output);

// gltf_geometry.cpp: the shared unit shapes. A solid's shape (0 to
// kGltfShapes - 1), or -1 for a solid the window does not draw; `scale`
// receives the node scale that gives the solid's size. The mesh of a shape
// in a material, made (and written) the first time; -1 if it has no triangles.
std::int32_t gltfShapeFor(StatementKind kind, const double* size, double scale[3]);
std::int32_t gltfMeshFor(GltfModel& model, std::int32_t shape, std::int32_t material);
