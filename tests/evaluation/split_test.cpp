// The tessellation's triangles drawn as GL_TRIANGLES give the very pixels of
// the support module's own quads, strips, fans and polygons: Mesa split them
// along the same diagonals, vertex order included. A point light close by,
// attenuated, with a sharp highlight, makes every vertex's colour its own,
// so another diagonal would show.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GestionOpenGL.h"
#include "evaluation/tessellation.h"
#include "headless/headless.h"
#include "support/support_state.h"

namespace {

constexpr int kSize = 160;

class EvaluationSplit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(openHeadlessContext(kSize, kSize)) << headlessError();
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-5, 5, -5, 5, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glShadeModel(GL_SMOOTH);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glRotatef(25, 1, 0, 0);
        glRotatef(-35, 0, 1, 0);
        // Just off the solids' surfaces, in their frame.
        const float position[4] = {1.2f, 0.6f, 3.4f, 1}, white[4] = {1, 1, 1, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glLightfv(GL_LIGHT0, GL_SPECULAR, white);
        glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 0.2f);
        glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.3f);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 60);
    }
    static void TearDownTestSuite() { closeHeadlessContext(); }
};

std::vector<unsigned char> picture() {
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;
    readPixelsRGB(rgb, w, h);
    return rgb;
}

void clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void sendMesh(const SolidMesh& mesh) {
    glBegin(GL_TRIANGLES);
    for (std::uint32_t k : mesh.triangles) {
        glNormal3fv(&mesh.normals[k * 3]);
        glVertex3fv(&mesh.positions[k * 3]);
    }
    glEnd();
}

// As the window draws it: the box and the sphere from a display list.
void drawMesh(const SolidMesh& mesh, bool listed) {
    if (!listed) return sendMesh(mesh);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    sendMesh(mesh);
    glEndList();
    glCallList(list);
    glDeleteLists(list, 1);
}

void drawSolid(StatementKind kind, const double* size) {
    switch (kind) {
        case StatementKind::Cube: auxSolidBox(size[0], size[1], size[2]); break;
        case StatementKind::Sphere: auxSolidSphere(size[0]); break;
        case StatementKind::Cylindre: myAuxSolidCylinder(size[0], size[1]); break;
        default: myAuxSolidCone(size[0], size[1]); break;
    }
}

int differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    int n = 0;
    for (std::size_t k = 0; k + 2 < a.size() && k + 2 < b.size(); k += 3)
        n += a[k] != b[k] || a[k + 1] != b[k + 1] || a[k + 2] != b[k + 2];
    return n;
}

TEST_F(EvaluationSplit, SamePixelsAsTheSupportModulesPrimitives) {
    struct Case {
        StatementKind kind;
        double size[3];
    };
    const Case cases[] = {
        {StatementKind::Cube, {4, 3, 5}},    {StatementKind::Cube, {-2, 6, 1.5}},
        {StatementKind::Sphere, {3.5}},      {StatementKind::Sphere, {1.2}},
        {StatementKind::Cylindre, {3, 4.5}}, {StatementKind::Cylindre, {1.5, -6}},
        {StatementKind::Cone, {3.2, 5}},     {StatementKind::Cone, {2, 2}},
    };
    SolidMesh mesh;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "kind " << static_cast<int>(c.kind) << " size "
                                          << c.size[0] << " " << c.size[1]);
        resetSupportState();
        clear();
        drawSolid(c.kind, c.size);
        const auto real = picture();
        tessellateSolid(c.kind, c.size, mesh);
        clear();
        const bool listed = c.kind == StatementKind::Cube || c.kind == StatementKind::Sphere;
        drawMesh(mesh, listed);
        const auto ours = picture();
        EXPECT_GT(differing(real, std::vector<unsigned char>(real.size(), 0)), 1000);
        EXPECT_EQ(differing(real, ours), 0);
    }
}

// The check can tell: the cylinder's side quads split along their other
// diagonal give other pixels.
TEST_F(EvaluationSplit, AnotherSplitShows) {
    const double size[2] = {3, 4.5};
    SolidMesh mesh;
    tessellateSolid(StatementKind::Cylindre, size, mesh);
    clear();
    drawMesh(mesh, false);
    const auto ours = picture();
    // After the two caps' 48 triangles each: (a b c) (a c d) per quad.
    auto& t = mesh.triangles;
    for (std::size_t k = 2 * 48 * 3; k + 5 < t.size(); k += 6) {
        const std::uint32_t a = t[k], b = t[k + 1], c = t[k + 2], d = t[k + 5];
        const std::uint32_t flipped[6] = {a, b, d, b, c, d};
        std::copy(flipped, flipped + 6, t.begin() + static_cast<std::ptrdiff_t>(k));
    }
    clear();
    drawMesh(mesh, false);
    EXPECT_GT(differing(picture(), ours), 20);
}

}  // namespace
