// The shapes a glTF file stores: each kind once at unit size, scaled by the
// nodes that use it. The window's normals do not depend on a solid's size
// (the box's faces, the sphere's, the cylinder's and the cone's are unit
// vectors of the unit shape), and a positive scale along the axes keeps
// their directions, so every size shares one mesh. Signs are another
// matter: a negative box size draws the box of its absolute value, a
// negative sphere radius draws nothing, and a negative cylinder or cone
// radius (or height) mirrors the ring while the normals keep their
// directions; those keep meshes of their own, tessellated with the signs.
//
// glTF takes a counter-clockwise triangle as seen from its front, and
// readers that shade by the winding (double-sided materials) light a
// triangle's back with its normal reversed. The window's order is the GL's,
// where some faces (the cylinder's top, most of the mirrored forms) are
// clockwise from the side their normals point to: each such triangle is
// turned round, so that every one faces where its normals point.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "gltf_model.h"

std::int32_t gltfShapeFor(StatementKind kind, const double* size, double scale[3]) {
    switch (kind) {
        case StatementKind::Cube:
            for (int i = 0; i < 3; ++i) scale[i] = std::fabs(size[i]);
            return 0;
        case StatementKind::Sphere:
            if (size[0] < 0) return -1;
            scale[0] = scale[1] = scale[2] = size[0];
            return 1;
        case StatementKind::Cylindre:
        case StatementKind::Cone:
            scale[0] = scale[2] = std::fabs(size[0]);
            scale[1] = std::fabs(size[1]);
            return (kind == StatementKind::Cylindre ? 2 : 6) + (size[0] < 0 ? 2 : 0) +
                   (size[1] < 0 ? 1 : 0);
        default: return -1;
    }
}

namespace {

void faceAlongNormals(SolidMesh& mesh) {
    const std::vector<float>& p = mesh.positions;
    const std::vector<float>& n = mesh.normals;
    std::vector<std::uint32_t>& t = mesh.triangles;
    for (std::size_t i = 0; i + 2 < t.size(); i += 3) {
        const std::uint32_t a = 3 * t[i], b = 3 * t[i + 1], c = 3 * t[i + 2];
        double u[3], v[3], normals[3];
        for (int k = 0; k < 3; ++k) {
            u[k] = double{p[b + k]} - p[a + k];
            v[k] = double{p[c + k]} - p[a + k];
            normals[k] = double{n[a + k]} + n[b + k] + n[c + k];
        }
        const double face[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                u[0] * v[1] - u[1] * v[0]};
        if (face[0] * normals[0] + face[1] * normals[1] + face[2] * normals[2] < 0)
            std::swap(t[i + 1], t[i + 2]);
    }
}

// The shape's geometry, tessellated when it is first needed; -1 if empty.
std::int32_t geometryOf(GltfModel& model, std::int32_t shape) {
    std::int32_t& geometry = model.geometryOfShape[shape];
    if (geometry >= 0) return geometry;
    const bool cone = shape >= 6, negativeRadius = shape >= 2 && (shape - 2) % 4 >= 2,
               negativeHeight = shape >= 2 && shape % 2 == 1;
    const StatementKind kind = shape == 0   ? StatementKind::Cube
                               : shape == 1 ? StatementKind::Sphere
                               : cone       ? StatementKind::Cone
                                            : StatementKind::Cylindre;
    const double unit[3] = {negativeRadius ? -1.0 : 1.0, negativeHeight ? -1.0 : 1.0, 1};
    GltfGeometry made{kind, negativeRadius, negativeHeight, {}};
    tessellateSolid(kind, unit, made.mesh);
    if (made.mesh.triangles.empty()) return -1;
    faceAlongNormals(made.mesh);
    model.geometries.push_back(std::move(made));
    return geometry = static_cast<std::int32_t>(model.geometries.size() - 1);
}

}  // namespace

std::int32_t gltfMeshFor(GltfModel& model, std::int32_t shape, std::int32_t material) {
    const std::size_t slot = static_cast<std::size_t>(material) * kGltfShapes + shape;
    if (model.meshOf.size() <= slot) model.meshOf.resize(slot + kGltfShapes, -1);
    std::int32_t& mesh = model.meshOf[slot];
    if (mesh >= 0) return mesh;
    const std::int32_t geometry = geometryOf(model, shape);
    if (geometry < 0) return -1;
    // Geometry g's accessors are 3g (positions), 3g + 1 (normals), 3g + 2
    // (indices). A material brings up to ten meshes: written in place.
    JsonText& out = model.meshesText;
    char* at = jsonRoom(out, 160);
    if (model.meshCount) *at++ = ',';
    static const char kStart[] = "{\"primitives\":[{\"attributes\":{\"POSITION\":";
    at = std::copy(kStart, kStart + sizeof kStart - 1, at);
    at = std::to_chars(at, at + 12, 3 * geometry).ptr;
    at = std::copy_n(",\"NORMAL\":", 10, at);
    at = std::to_chars(at, at + 12, 3 * geometry + 1).ptr;
    at = std::copy_n("},\"indices\":", 12, at);
    at = std::to_chars(at, at + 12, 3 * geometry + 2).ptr;
    at = std::copy_n(",\"material\":", 12, at);
    at = std::to_chars(at, at + 12, material).ptr;
    jsonCommit(out, std::copy_n("}]}", 3, at));
    return mesh = model.meshCount++;
}
