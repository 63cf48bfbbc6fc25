// Solids of one kind usually differ only by their sizes, and their meshes
// then differ only by a scale along each axis with the very same normals:
// the page carries one such mesh and a scale per solid, so a scene of
// thousands of spheres carries one sphere.
//
// The box's, the sphere's and the cylinder's normals do not depend on their
// sizes, only on their signs: for sizes of ordinary magnitude, the first
// mesh of a kind and signs serves every later size, scaled by the ratio of
// the sizes, with no new tessellation. A cone's normals lean with the ratio
// of its radius to its height: its mesh serves other cones too, the page
// turning the normals through the inverse of the scale. Extreme sizes may
// weld vertices another way: those are tessellated and compared with the
// latest meshes of their kind.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "evaluation/tessellation.h"
#include "page_tables.h"

namespace {

using SizeKey = std::array<std::uint64_t, 4>;

struct SizeKeyHash {
    std::size_t operator()(const SizeKey& key) const {
        std::uint64_t h = 0x9e3779b97f4a7c15ull;
        for (std::uint64_t word : key) h = (h ^ word) * 0xff51afd7ed558ccdull;
        return static_cast<std::size_t>(h ^ (h >> 31));
    }
};

// The first mesh of a kind and signs, and the size it was made at.
struct FirstMesh {
    std::uint32_t mesh = 0;
    double size[3] = {0, 0, 0};
    bool made = false;
};

struct SharingState {
    std::unordered_map<SizeKey, MeshChoice, SizeKeyHash> bySize;
    FirstMesh firsts[4][8];  // box, sphere, cylinder, cone; by the signs of the sizes
    // The meshes of each kind, latest last: a new size is tried against the
    // few latest (one, in every scene but a contrived one).
    std::unordered_map<int, std::vector<std::uint32_t>> byKind;
    SolidMesh scratch;
};

SharingState sharing;

constexpr std::size_t kCandidates = 8;

bool sameShape(const PageMesh& shared, const SolidMesh& mesh) {
    return shared.normals == mesh.normals && shared.triangles == mesh.triangles &&
           shared.positions.size() == mesh.positions.size();
}

// The scale along each axis that takes the shared mesh's vertices to these,
// if one does (to a millionth of the mesh's extent: float rounding aside).
bool fitScale(const PageMesh& shared, const std::vector<float>& positions, float scale[3]) {
    double extent = 0;
    for (float p : positions) extent = std::max(extent, std::fabs(static_cast<double>(p)));
    const double tolerance = extent * 1e-6;
    for (int axis = 0; axis < 3; ++axis) {
        double across = 0, squares = 0;
        for (std::size_t i = axis; i < positions.size(); i += 3) {
            across += static_cast<double>(positions[i]) * shared.positions[i];
            squares += static_cast<double>(shared.positions[i]) * shared.positions[i];
        }
        const double s = squares > 0 ? across / squares : 1.0;
        for (std::size_t i = axis; i < positions.size(); i += 3)
            if (!(std::fabs(positions[i] - s * shared.positions[i]) <= tolerance)) return false;
        scale[axis] = static_cast<float>(s);
    }
    return true;
}

// A quad a b c d sent directly is drawn as (a b c) (a c d) when it is not
// clipped, and as (a b d) (b c d) when it is: the tessellation gives the
// first, the page picks one or the other at every frame. Only the sides of
// cylinders and cones are such quads; a cone's apex makes its quads
// degenerate, and the other diagonal then lights a whole triangle from the
// other apex normal.
std::vector<std::uint32_t> clippedSplit(StatementKind kind, const std::vector<std::uint32_t>& t) {
    std::vector<std::uint32_t> other;
    if (kind != StatementKind::Cylindre && kind != StatementKind::Cone) return other;
    bool changed = false;
    for (std::size_t i = 0; i < t.size();) {
        const bool quad = i + 5 < t.size() && t[i + 3] == t[i] && t[i + 4] == t[i + 2];
        if (quad) {
            other.insert(other.end(), {t[i], t[i + 1], t[i + 5], t[i + 1], t[i + 2], t[i + 5]});
            changed = true;
            i += 6;
        } else {
            other.insert(other.end(), {t[i], t[i + 1], t[i + 2]});
            i += 3;
        }
    }
    if (!changed) other.clear();
    return other;
}

MeshChoice placeMesh(StatementKind kind, const SolidMesh& mesh, std::vector<PageMesh>& meshes) {
    MeshChoice choice{0, {1.0f, 1.0f, 1.0f}};
    std::vector<std::uint32_t>& candidates = sharing.byKind[static_cast<int>(kind)];
    const std::size_t first = candidates.size() > kCandidates ? candidates.size() - kCandidates : 0;
    for (std::size_t c = candidates.size(); c-- > first;) {
        if (sameShape(meshes[candidates[c]], mesh) &&
            fitScale(meshes[candidates[c]], mesh.positions, choice.scale)) {
            choice.mesh = candidates[c];
            return choice;
        }
    }
    choice.mesh = static_cast<std::uint32_t>(meshes.size());
    candidates.push_back(choice.mesh);
    meshes.push_back(
        {mesh.positions, mesh.normals, mesh.triangles, clippedSplit(kind, mesh.triangles)});
    return choice;
}

// Whether a size of this kind scales a mesh made at another size of the
// same signs: none zero, none so small or large that float positions could
// merge or overflow.
int scaledKind(StatementKind kind, const double* size) {
    const int axes = kind == StatementKind::Sphere ? 1 : kind == StatementKind::Cube ? 3 : 2;
    for (int i = 0; i < axes; ++i) {
        const double a = std::fabs(size[i]);
        if (!(a >= 1e-15 && a <= 1e15)) return -1;
    }
    switch (kind) {
        case StatementKind::Cube: return 0;
        case StatementKind::Sphere: return 1;
        case StatementKind::Cylindre: return 2;
        case StatementKind::Cone: return 3;
        default: return -1;
    }
}

bool scaleFromFirst(StatementKind kind, const double* size, std::vector<PageMesh>& meshes,
                    MeshChoice& choice) {
    const int k = scaledKind(kind, size);
    if (k < 0) return false;
    const int axes = k == 0 ? 3 : k == 1 ? 1 : 2;
    int signs = 0;
    for (int i = 0; i < axes; ++i) signs |= size[i] < 0 ? 1 << i : 0;
    FirstMesh& first = sharing.firsts[k][signs];
    if (!first.made) {
        tessellateSolid(kind, size, sharing.scratch);
        choice = placeMesh(kind, sharing.scratch, meshes);
        if (k == 3) meshes[choice.mesh].normalsFollowScale = true;
        // The size the chosen mesh stands for, whether it was made for
        // this solid or for an earlier one and scaled.
        first.mesh = choice.mesh;
        first.size[0] = size[0] / choice.scale[0];
        first.size[1] = size[1] / choice.scale[1];
        first.size[2] = size[2] / choice.scale[2];
        first.made = true;
        return true;
    }
    const double ratio[3] = {size[0] / first.size[0], size[1] / first.size[1],
                             size[2] / first.size[2]};
    choice.mesh = first.mesh;
    switch (k) {
        case 0:
            for (int i = 0; i < 3; ++i) choice.scale[i] = static_cast<float>(ratio[i]);
            break;
        case 1:
            choice.scale[0] = choice.scale[1] = choice.scale[2] = static_cast<float>(ratio[0]);
            break;
        default:
            choice.scale[0] = choice.scale[2] = static_cast<float>(ratio[0]);
            choice.scale[1] = static_cast<float>(ratio[1]);
    }
    return true;
}

}  // namespace

void startMeshSharing() { sharing = SharingState{}; }

MeshChoice shareMesh(StatementKind kind, const double* size, std::vector<PageMesh>& meshes) {
    MeshChoice scaled{0, {1.0f, 1.0f, 1.0f}};
    if (scaleFromFirst(kind, size, meshes, scaled)) return scaled;
    SizeKey key{static_cast<std::uint64_t>(kind), 0, 0, 0};
    std::memcpy(&key[1], size, 3 * sizeof(double));
    const auto found = sharing.bySize.find(key);
    if (found != sharing.bySize.end()) return found->second;
    tessellateSolid(kind, size, sharing.scratch);
    const MeshChoice choice = placeMesh(kind, sharing.scratch, meshes);
    sharing.bySize.emplace(key, choice);
    return choice;
}
