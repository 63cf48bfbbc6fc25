// The shapes a glTF file stores: each kind once at unit size, scaled by the
// nodes that use it. The window's normals do not depend on a solid's size
// (the box's faces, the sphere's, the cylinder's and the cone's are unit
// vectors of the unit shape), and a positive scale along the axes keeps
// their directions, so every size shares one mesh. Signs are another
// matter: a negative box size draws the box of its absolute value, a
// negative sphere radius draws nothing, and a negative cylinder or cone
// radius (or height) mirrors the ring while the normals keep their
// directions; those keep meshes of their own, tessellated with the signs.
#include <cmath>

#include "gltf_model.h"

std::int32_t gltfGeometryFor(GltfModel& model, StatementKind kind, const double* size,
                             double scale[3]) {
    double unit[3] = {1, 1, 1};
    bool negativeRadius = false, negativeHeight = false;
    switch (kind) {
        case StatementKind::Cube:
            for (int i = 0; i < 3; ++i) scale[i] = std::fabs(size[i]);
            break;
        case StatementKind::Sphere:
            if (size[0] < 0) return -1;
            scale[0] = scale[1] = scale[2] = size[0];
            break;
        case StatementKind::Cylindre:
        case StatementKind::Cone:
            negativeRadius = size[0] < 0, negativeHeight = size[1] < 0;
            unit[0] = negativeRadius ? -1 : 1, unit[1] = negativeHeight ? -1 : 1;
            scale[0] = scale[2] = std::fabs(size[0]);
            scale[1] = std::fabs(size[1]);
            break;
        default: return -1;
    }
    for (std::size_t i = 0; i < model.geometries.size(); ++i) {
        const GltfGeometry& g = model.geometries[i];
        if (g.kind == kind && g.negativeRadius == negativeRadius &&
            g.negativeHeight == negativeHeight)
            return static_cast<std::int32_t>(i);
    }
    GltfGeometry geometry{kind, negativeRadius, negativeHeight, {}};
    tessellateSolid(kind, unit, geometry.mesh);
    if (geometry.mesh.triangles.empty()) return -1;
    model.geometries.push_back(std::move(geometry));
    return static_cast<std::int32_t>(model.geometries.size() - 1);
}

std::int32_t gltfMeshFor(GltfModel& model, std::int32_t geometry, std::int32_t material) {
    const std::size_t slot = static_cast<std::size_t>(material) * kGltfGeometries + geometry;
    if (model.meshOf.size() <= slot) model.meshOf.resize(slot + kGltfGeometries, -1);
    std::int32_t& mesh = model.meshOf[slot];
    if (mesh < 0) {
        mesh = static_cast<std::int32_t>(model.meshes.size());
        model.meshes.push_back(static_cast<std::uint64_t>(geometry) << 32 |
                               static_cast<std::uint32_t>(material));
    }
    return mesh;
}
