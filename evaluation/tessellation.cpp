// The solids' triangles, sent in the support module's and GLU's order and
// split as Mesa (llvmpipe, Mesa 22.3) splits them. What the split is was
// found offscreen by drawing each primitive with its own colour at every
// vertex and comparing, pixel for pixel, with GL_TRIANGLES candidates; the
// order of the vertices inside a triangle counts too (llvmpipe interpolates
// from the first one, so another order moves the odd pixel by one level):
//   GL_QUADS sent directly         (0 1 2) (0 2 3)   the cylinder's and cone's sides
//   GL_QUADS from a display list   (0 1 3) (1 2 3)   the box
//   GL_QUAD_STRIP, either way      (2 0 3) (0 1 3) for each quad 0 1 2 3 of the strip
//   GL_TRIANGLE_FAN, either way    (0 i i+1)
//   GL_POLYGON, either way         (i i+1 0), a fan about the first vertex
// The box and the sphere are always drawn from display lists, the cylinder
// and the cone never.
#include "evaluation/tessellation.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {

enum class Split { QuadsDirect, QuadsListed, QuadStrip, Fan, Polygon };

// One primitive at a time, as glBegin ... glEnd would send it; a vertex the
// mesh already holds with the same position and normal is used again.
struct Sender {
    SolidMesh& mesh;
    std::vector<std::uint32_t> slots;  // open addressing: vertex index + 1, 0 empty
    std::vector<std::uint32_t> primitive;
    float normal[3] = {0, 0, 1};  // the GL's initial normal
};

std::uint32_t bitsOf(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

bool sameVertex(const SolidMesh& mesh, std::uint32_t index, const float* key) {
    return std::memcmp(&mesh.positions[index * 3], key, 3 * sizeof(float)) == 0 &&
           std::memcmp(&mesh.normals[index * 3], key + 3, 3 * sizeof(float)) == 0;
}

void vertex(Sender& s, float x, float y, float z) {
    const float key[6] = {x, y, z, s.normal[0], s.normal[1], s.normal[2]};
    std::uint64_t h = 0x9e3779b97f4a7c15ull;
    for (float f : key) h = (h ^ bitsOf(f)) * 0xbf58476d1ce4e5b9ull;
    const std::size_t mask = s.slots.size() - 1;
    std::size_t at = static_cast<std::size_t>(h ^ (h >> 31)) & mask;
    while (s.slots[at] != 0 && !sameVertex(s.mesh, s.slots[at] - 1, key)) at = (at + 1) & mask;
    if (s.slots[at] == 0) {
        s.mesh.positions.insert(s.mesh.positions.end(), key, key + 3);
        s.mesh.normals.insert(s.mesh.normals.end(), key + 3, key + 6);
        s.slots[at] = static_cast<std::uint32_t>(s.mesh.positions.size() / 3);
    }
    s.primitive.push_back(s.slots[at] - 1);
}

void normal(Sender& s, float x, float y, float z) {
    s.normal[0] = x;
    s.normal[1] = y;
    s.normal[2] = z;
}

void triangle(Sender& s, std::size_t a, std::size_t b, std::size_t c) {
    const std::uint32_t* p = s.primitive.data();
    s.mesh.triangles.insert(s.mesh.triangles.end(), {p[a], p[b], p[c]});
}

// glEnd: the primitive's triangles, as the table at the top says.
void end(Sender& s, Split split) {
    const std::size_t n = s.primitive.size();
    switch (split) {
        case Split::QuadsDirect:
            for (std::size_t i = 0; i + 3 < n; i += 4) {
                triangle(s, i, i + 1, i + 2);
                triangle(s, i, i + 2, i + 3);
            }
            break;
        case Split::QuadsListed:
            for (std::size_t i = 0; i + 3 < n; i += 4) {
                triangle(s, i, i + 1, i + 3);
                triangle(s, i + 1, i + 2, i + 3);
            }
            break;
        case Split::QuadStrip:
            for (std::size_t i = 0; i + 3 < n; i += 2) {
                triangle(s, i + 2, i, i + 3);
                triangle(s, i, i + 1, i + 3);
            }
            break;
        case Split::Fan:
            for (std::size_t i = 1; i + 1 < n; ++i) triangle(s, 0, i, i + 1);
            break;
        case Split::Polygon:
            for (std::size_t i = 1; i + 1 < n; ++i) triangle(s, i, i + 1, 0);
            break;
    }
    s.primitive.clear();
}

// --- The box: six GL_QUADS, each with its own normal (box_sphere.cpp). ---

void box(Sender& s, const double* size) {
    double x0 = size[0] * -0.5, x1 = size[0] * 0.5;
    double y0 = size[1] * -0.5, y1 = size[1] * 0.5;
    double z0 = size[2] * -0.5, z1 = size[2] * 0.5;
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    if (z0 > z1) std::swap(z0, z1);
    const double corner[8][3] = {
        {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0},
        {x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0},
    };
    static const float kNormal[6][3] = {
        {-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1},
    };
    static const int kFace[6][4] = {
        {0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3},
    };
    for (int f = 0; f < 6; ++f) {
        normal(s, kNormal[f][0], kNormal[f][1], kNormal[f][2]);
        for (int k = 0; k < 4; ++k) {
            const double* c = corner[kFace[f][k]];
            vertex(s, static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]));
        }
        end(s, Split::QuadsListed);
    }
}

// --- The sphere: gluSphere(r, 16, 16), smooth normals, facing outside. ---
// Angles worked out in double but kept in a float, sines and cosines taken
// in double of that float, tables in float; x from the sine, y from the
// cosine. (The angles' float rounding is why ring 1's normal at slice 4
// has y -8.5e-9 rather than 0: measured against libGLU 9.0.2.)

constexpr int kSlices = 16;
constexpr int kStacks = 16;
constexpr double kPi = 3.14159265358979323846;

struct SphereTables {
    float sinA[kSlices + 1], cosA[kSlices + 1];        // about z, by slice
    float sinB[kStacks + 1], cosB[kStacks + 1];        // from +z down, by stack: the normals
    float radSinB[kStacks + 1], radCosB[kStacks + 1];  // the same times the radius
};

void sphereTables(double radius, SphereTables& t) {
    for (int i = 0; i < kSlices; ++i) {
        const double angle = static_cast<float>(2 * kPi * i / kSlices);
        t.sinA[i] = static_cast<float>(std::sin(angle));
        t.cosA[i] = static_cast<float>(std::cos(angle));
    }
    t.sinA[kSlices] = t.sinA[0];
    t.cosA[kSlices] = t.cosA[0];
    for (int j = 0; j <= kStacks; ++j) {
        const double angle = static_cast<float>(kPi * j / kStacks);
        t.sinB[j] = static_cast<float>(std::sin(angle));
        t.cosB[j] = static_cast<float>(std::cos(angle));
        t.radSinB[j] = static_cast<float>(radius * std::sin(angle));
        t.radCosB[j] = static_cast<float>(radius * std::cos(angle));
    }
    // The poles come to a point; the normals' sine at the -z pole is left
    // as the sine of pi-as-a-float gives it, a little below 0, so that
    // pole's normal leans by 1e-7.
    t.radSinB[0] = t.radSinB[kStacks] = 0;
}

// Ring j's vertex i, with its smooth normal.
void ringVertex(Sender& s, const SphereTables& t, int i, int j) {
    normal(s, t.sinA[i] * t.sinB[j], t.cosA[i] * t.sinB[j], t.cosB[j]);
    vertex(s, t.radSinB[j] * t.sinA[i], t.radSinB[j] * t.cosA[i], t.radCosB[j]);
}

void sphere(Sender& s, double radius) {
    if (radius < 0.0) return;  // GLU refuses it and draws nothing
    SphereTables t;
    sphereTables(radius, t);
    const float r = static_cast<float>(radius);
    // The +z pole: a fan over ring 1, slices in descending order.
    normal(s, t.sinA[0] * t.sinB[0], t.cosA[0] * t.sinB[0], t.cosB[0]);
    vertex(s, 0, 0, r);
    for (int i = kSlices; i >= 0; --i) ringVertex(s, t, i, 1);
    end(s, Split::Fan);
    // The -z pole: a fan over the last ring but one, ascending. Its normal
    // takes the slice table at index `stacks`, which exists here only
    // because stacks equals slices.
    normal(s, t.sinA[kStacks] * t.sinB[kStacks], t.cosA[kStacks] * t.sinB[kStacks],
           t.cosB[kStacks]);
    vertex(s, 0, 0, -r);
    for (int i = 0; i <= kSlices; ++i) ringVertex(s, t, i, kStacks - 1);
    end(s, Split::Fan);
    // The bands between, one quad strip each from +z down, each pair giving
    // the ring nearer -z first.
    for (int j = 1; j < kStacks - 1; ++j) {
        for (int i = 0; i <= kSlices; ++i) {
            ringVertex(s, t, i, j + 1);
            ringVertex(s, t, i, j);
        }
        end(s, Split::QuadStrip);
    }
}

// --- Cylinder and cone: the 51-point ring (ring.cpp, round_solids.cpp). ---

constexpr int kRingPoints = 51;
constexpr double kRingStep = 0.1256636;

struct RingTable {
    double cosine[kRingPoints], sine[kRingPoints];
};

const RingTable& ringTable() {
    static const RingTable table = [] {
        RingTable r{};
        r.cosine[0] = r.cosine[kRingPoints - 1] = 1;
        for (int i = 1; i < kRingPoints - 1; ++i) {
            r.cosine[i] = std::cos(i * kRingStep);
            r.sine[i] = std::sin(i * kRingStep);
        }
        return r;
    }();
    return table;
}

void ringPoint(Sender& s, double radius, int i, double y) {
    const RingTable& r = ringTable();
    vertex(s, static_cast<float>(radius * r.cosine[i]), static_cast<float>(y),
           static_cast<float>(radius * r.sine[i]));
}

void disc(Sender& s, double radius, double y, float normalY) {
    normal(s, 0, normalY, 0);
    for (int i = 0; i < kRingPoints - 1; ++i) ringPoint(s, radius, i, y);
    end(s, Split::Polygon);
}

void sideNormal(Sender& s, int i) {
    const RingTable& r = ringTable();
    normal(s, static_cast<float>(r.cosine[i]), 0, static_cast<float>(r.sine[i]));
}

void sides(Sender& s, double radius, double h, bool apex) {
    for (int i = 0; i < kRingPoints - 1; ++i) {
        const int j = i + 1;
        sideNormal(s, i);
        if (apex)
            vertex(s, 0, static_cast<float>(h), 0);
        else
            ringPoint(s, radius, i, h);
        sideNormal(s, j);
        if (apex)
            vertex(s, 0, static_cast<float>(h), 0);
        else
            ringPoint(s, radius, j, h);
        ringPoint(s, radius, j, -h);
        sideNormal(s, i);
        ringPoint(s, radius, i, -h);
    }
    end(s, Split::QuadsDirect);
}

}  // namespace

void tessellateSolid(StatementKind kind, const double* size, SolidMesh& mesh) {
    mesh.positions.clear();
    mesh.normals.clear();
    mesh.triangles.clear();
    Sender s{mesh, std::vector<std::uint32_t>(1024, 0), {}};
    s.primitive.reserve(kRingPoints * 4);
    switch (kind) {
        case StatementKind::Cube: box(s, size); break;
        case StatementKind::Sphere: sphere(s, size[0]); break;
        case StatementKind::Cylindre:
            disc(s, size[0], size[1] / 2, 1);
            disc(s, size[0], -(size[1] / 2), -1);
            sides(s, size[0], size[1] / 2, false);
            break;
        case StatementKind::Cone:
            disc(s, size[0], -(size[1] / 2), -1);
            sides(s, size[0], size[1] / 2, true);
            break;
        default: break;
    }
}
