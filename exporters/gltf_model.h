// What the glTF export gathers from a scene before it writes: nodes, the
// shared unit meshes, materials and lights, in the order the file lists
// them. Kept small per node, since a big scene has hundreds of thousands.
#pragma once

#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "evaluation/evaluation.h"
#include "evaluation/tessellation.h"

// One glTF node. Translation, rotation and scale are written only where
// they differ from the identity.
struct GltfNode {
    std::int32_t parent;  // -1: a root of the scene
    std::int32_t mesh;    // -1: none
    std::int32_t light;   // -1: none
    bool camera;          // the window's view
    float translation[3];
    float rotation[4];  // quaternion x y z w
    float scale[3];
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

struct GltfLight {
    enum Type { Point, Directional, Spot } type;
    float colour[3];  // linear, largest component 1 (or black)
    float intensity;
    float innerCone, outerCone;  // radians, spot lights only
};

// A group node open around the statements being read, and the frame a
// reader will compute for it (column-major, double for the products).
struct GltfGroup {
    std::int32_t node;
    double frame[16];
};

struct GltfModel {
    std::vector<GltfNode> nodes;
    std::vector<GltfGeometry> geometries;
    std::vector<std::uint64_t> meshes;  // geometry << 32 | material
    std::unordered_map<std::uint64_t, std::int32_t> meshIndex;
    std::vector<GltfMaterial> materials;
    std::vector<GltfLight> lights;
    std::vector<GltfGroup> groups;  // the open groups that have nodes, outermost first
    long long flattenedGroups = 0;  // open groups nested too deep to have nodes of their own
    std::uint32_t materialVersion = 0;
    std::int32_t material = -1;  // glTF material of materialVersion, -1 until known
};

// Groups nested deeper than this have no node of their own: their contents
// hang on the group at this depth. Readers walk the node tree recursively
// (Blender's importer in Python among them); 64 levels stay far from any
// reader's limit while covering every scene a person writes by hand.
constexpr int kGltfMaxGroupDepth = 64;

// gltf_tree.cpp: the node tree, from the evaluation's steps.
void startGltfTree(GltfModel& model);
void gltfOpenGroup(GltfModel& model, const float* modelview);
void gltfCloseGroup(GltfModel& model);
void gltfAddSolid(GltfModel& model, const EvalSolid& solid);
void gltfAddLight(GltfModel& model, const EvalAddedLight& light, const EvalLight& unit);
void finishGltfTree(GltfModel& model, bool sceneAddedLights);

// gltf_looks.cpp: the material and light mapping rules.
GltfMaterial gltfMaterialOf(const EvalMaterial& material);
std::int32_t gltfMaterialIndex(GltfModel& model, const GltfMaterial& material);
GltfLight gltfLightOf(const EvalAddedLight& light, const EvalLight& unit, double distance);
GltfLight gltfDefaultLight();

// gltf_geometry.cpp: the shared unit shapes; -1 for a solid the window
// does not draw. `scale` receives the node scale that gives the solid's size.
std::int32_t gltfGeometryFor(GltfModel& model, StatementKind kind, const double* size,
                             double scale[3]);
std::int32_t gltfMeshFor(GltfModel& model, std::int32_t geometry, std::int32_t material);

// gltf_document.cpp: the binary glTF file; false if a write failed.
bool writeGltfFile(std::FILE* file, const GltfModel& model);
