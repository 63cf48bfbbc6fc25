// The tessellation against what the support module and libGLU really send:
// this program stands in for the GL's vertex calls (no context is needed),
// so every glBegin ... glEnd of the real solids is recorded as sent.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <tuple>
#include <vector>

#include "GestionOpenGL.h"
#include "evaluation/tessellation.h"
#include "support/support_state.h"

namespace {

struct Sent {
    float position[3];
    float normal[3];
};

struct Primitive {
    GLenum mode;
    bool listed;  // sent while a display list was being compiled
    std::vector<Sent> vertices;
};

struct Recording {
    std::vector<Primitive> primitives;
    float normal[3] = {0, 0, 1};
    bool compiling = false;
};
Recording recording;

void sendVertex(float x, float y, float z) {
    Sent v{{x, y, z}, {recording.normal[0], recording.normal[1], recording.normal[2]}};
    recording.primitives.back().vertices.push_back(v);
}

void setNormal(float x, float y, float z) {
    recording.normal[0] = x;
    recording.normal[1] = y;
    recording.normal[2] = z;
}

}  // namespace

// The GL entry points the solids use; doubles become floats as the GL takes them.
extern "C" {
void glBegin(GLenum mode) { recording.primitives.push_back({mode, recording.compiling, {}}); }
void glEnd() {}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { setNormal(x, y, z); }
void glNormal3d(GLdouble x, GLdouble y, GLdouble z) {
    setNormal(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
void glNormal3dv(const GLdouble* v) { glNormal3d(v[0], v[1], v[2]); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { sendVertex(x, y, z); }
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    sendVertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
void glVertex3dv(const GLdouble* v) { glVertex3d(v[0], v[1], v[2]); }
GLuint glGenLists(GLsizei) {
    static GLuint next = 0;
    return ++next;
}
void glNewList(GLuint, GLenum) { recording.compiling = true; }
void glEndList() { recording.compiling = false; }
void glCallList(GLuint) {}
void glGetIntegerv(GLenum, GLint* value) { *value = 0; }
}

namespace {

using Triangle = std::vector<std::uint32_t>;  // the 6 floats of 3 vertices, as bits

std::uint32_t bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

void addTriangle(std::vector<Triangle>& out, const Sent& a, const Sent& b, const Sent& c) {
    Triangle t;
    for (const Sent* v : {&a, &b, &c}) {
        for (float f : v->position) t.push_back(bits(f));
        for (float f : v->normal) t.push_back(bits(f));
    }
    out.push_back(t);
}

// The recorded primitives as Mesa splits them (found with pixels, see the
// tessellation and the split test).
std::vector<Triangle> recordedTriangles() {
    std::vector<Triangle> out;
    for (const Primitive& p : recording.primitives) {
        const auto& v = p.vertices;
        const std::size_t n = v.size();
        switch (p.mode) {
            case GL_QUADS:
                for (std::size_t i = 0; i + 3 < n; i += 4) {
                    if (p.listed) {
                        addTriangle(out, v[i], v[i + 1], v[i + 3]);
                        addTriangle(out, v[i + 1], v[i + 2], v[i + 3]);
                    } else {
                        addTriangle(out, v[i], v[i + 1], v[i + 2]);
                        addTriangle(out, v[i], v[i + 2], v[i + 3]);
                    }
                }
                break;
            case GL_QUAD_STRIP:
                for (std::size_t i = 0; i + 3 < n; i += 2) {
                    addTriangle(out, v[i + 2], v[i], v[i + 3]);
                    addTriangle(out, v[i], v[i + 1], v[i + 3]);
                }
                break;
            case GL_TRIANGLE_FAN:
                for (std::size_t i = 1; i + 1 < n; ++i) addTriangle(out, v[0], v[i], v[i + 1]);
                break;
            case GL_POLYGON:
                for (std::size_t i = 1; i + 1 < n; ++i) addTriangle(out, v[i], v[i + 1], v[0]);
                break;
            default: ADD_FAILURE() << "unexpected primitive " << p.mode;
        }
    }
    return out;
}

std::vector<Triangle> meshTriangles(const SolidMesh& mesh) {
    std::vector<Triangle> out;
    auto at = [&](std::uint32_t k) {
        Sent s;
        std::memcpy(s.position, &mesh.positions[k * 3], sizeof s.position);
        std::memcpy(s.normal, &mesh.normals[k * 3], sizeof s.normal);
        return s;
    };
    for (std::size_t t = 0; t + 2 < mesh.triangles.size(); t += 3)
        addTriangle(out, at(mesh.triangles[t]), at(mesh.triangles[t + 1]),
                    at(mesh.triangles[t + 2]));
    return out;
}

void draw(StatementKind kind, const double* size) {
    switch (kind) {
        case StatementKind::Cube: auxSolidBox(size[0], size[1], size[2]); break;
        case StatementKind::Sphere: auxSolidSphere(size[0]); break;
        case StatementKind::Cylindre: myAuxSolidCylinder(size[0], size[1]); break;
        case StatementKind::Cone: myAuxSolidCone(size[0], size[1]); break;
        default: break;
    }
}

struct Case {
    StatementKind kind;
    double size[3];
};

const Case kCases[] = {
    {StatementKind::Cube, {1, 1, 1}},
    {StatementKind::Cube, {2.5, 0.3, 7.125}},
    {StatementKind::Cube, {-2, 4, -0.1}},
    {StatementKind::Cube, {0, 3, 0}},
    {StatementKind::Sphere, {1}},
    {StatementKind::Sphere, {0.37}},
    {StatementKind::Sphere, {6.02}},
    {StatementKind::Sphere, {0}},
    {StatementKind::Sphere, {-1.5}},
    {StatementKind::Cylindre, {1, 4}},
    {StatementKind::Cylindre, {0.3333, 9.75}},
    {StatementKind::Cylindre, {-2, -1}},
    {StatementKind::Cylindre, {0, 0}},
    {StatementKind::Cone, {1, 2}},
    {StatementKind::Cone, {3.21, 0.07}},
    {StatementKind::Cone, {-1, 3}},
    {StatementKind::Cone, {2, 0}},
};

TEST(EvaluationGeometry, TrianglesAreThoseTheSupportModuleAndGluSend) {
    SolidMesh mesh;
    for (const Case& c : kCases) {
        SCOPED_TRACE(::testing::Message() << "kind " << static_cast<int>(c.kind) << " size "
                                          << c.size[0] << " " << c.size[1] << " " << c.size[2]);
        resetSupportState();  // no cached list: every box and sphere is sent
        recording = Recording{};
        draw(c.kind, c.size);
        tessellateSolid(c.kind, c.size, mesh);
        const auto want = recordedTriangles();
        const auto got = meshTriangles(mesh);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t t = 0; t < want.size(); ++t)
            ASSERT_EQ(got[t], want[t]) << "triangle " << t;
        EXPECT_EQ(mesh.normals.size(), mesh.positions.size());

        // Shared where the GL gets the same position and normal, and only there.
        std::set<std::vector<std::uint32_t>> distinct;
        for (const Primitive& p : recording.primitives)
            for (const Sent& v : p.vertices) {
                std::vector<std::uint32_t> key;
                for (float f : v.position) key.push_back(bits(f));
                for (float f : v.normal) key.push_back(bits(f));
                distinct.insert(key);
            }
        EXPECT_EQ(mesh.positions.size() / 3, distinct.size());
    }
}

}  // namespace
