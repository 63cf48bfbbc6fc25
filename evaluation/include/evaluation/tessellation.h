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

// `size` as in EvalSolid. Replaces the mesh's contents. Sizes are taken as
// the window takes them: a sphere of negative radius has no triangles (GLU
// draws nothing); a box of negative size is the box of its absolute value;
// a cylinder or cone of negative radius or height has its points mirrored
// but its normals as for the positive size (they then point inwards), and
// zero sizes give flat triangles, all as the support module sends them.
void tessellateSolid(StatementKind kind, const double* size, SolidMesh& mesh);
