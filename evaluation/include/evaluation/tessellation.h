// The triangles the window draws for each solid, vertex for vertex as the
// support module and GLU send them (same slices and stacks, same float sine
// and cosine tables, same order) and split into triangles along the same
// diagonals as the GL splits the quads, strips and polygons.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/scene.h"

struct SolidMesh {
    std::vector<float> positions;          // x y z per vertex, in the solid's own frame
    std::vector<float> normals;            // x y z per vertex, as sent with glNormal
    std::vector<std::uint32_t> triangles;  // three vertex indices each, as the GL forms them
};

// `size` as in EvalSolid. Replaces the mesh's contents.
void tessellateSolid(StatementKind kind, const double* size, SolidMesh& mesh);
