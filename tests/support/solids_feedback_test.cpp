// Geometry as the GL receives it, read back in feedback mode.
#include <cmath>
#include <functional>
#include <vector>

#include "GestionOpenGL.h"
#include "gl_fixture.h"

namespace {

using SupportSolids = GlTest;

struct Point {
    float x, y, z;
};
using Polygon = std::vector<Point>;

// Ortho -4..4 on an 8x8 viewport: window x = x + 4, y = y + 4,
// depth = (1 - z / 4) / 2.
std::vector<Polygon> feedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glViewport(0, 0, 8, 8);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -4, 4, -4, 4);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<Polygon> polygons;
    for (GLint at = 0; at < used;) {
        const GLfloat token = buffer[at++];
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const int n = static_cast<int>(buffer[at++]);
        Polygon p;
        for (int k = 0; k < n; ++k, at += 3)
            p.push_back({buffer[at] - 4, buffer[at + 1] - 4, 4 * (1 - 2 * buffer[at + 2])});
        polygons.push_back(p);
    }
    return polygons;
}

std::vector<Point> allPoints(const std::vector<Polygon>& polygons) {
    std::vector<Point> points;
    for (const Polygon& p : polygons) points.insert(points.end(), p.begin(), p.end());
    return points;
}

constexpr float kTolerance = 2e-5f;

bool near(const Point& a, const Point& b) {
    return std::fabs(a.x - b.x) < kTolerance && std::fabs(a.y - b.y) < kTolerance &&
           std::fabs(a.z - b.z) < 4 * kTolerance;
}

::testing::AssertionResult contains(const std::vector<Point>& points, Point want) {
    for (const Point& p : points)
        if (near(p, want)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "no vertex near (" << want.x << ", " << want.y << ", " << want.z << ")";
}

TEST_F(SupportSolids, CylinderRingCapsAndWinding) {
    const auto polygons = feedback([] { myAuxSolidCylinder(1, 4); });
    ASSERT_FALSE(polygons.empty());
    const auto points = allPoints(polygons);
    for (const Point& p : points) {
        EXPECT_NEAR(std::fabs(p.y), 2, kTolerance);
        EXPECT_NEAR(std::hypot(p.x, p.z), 1, kTolerance);
    }
    for (float y : {2.0f, -2.0f}) {
        EXPECT_TRUE(contains(points, {1, y, 0}));
        EXPECT_TRUE(contains(points, {0.9921147f, y, 0.1253331f}));
        EXPECT_TRUE(contains(points, {-1, y, 0}));
    }
    // The top cap comes first, and its first piece is ring points 0 to 2:
    // the ring runs from +x towards +z.
    EXPECT_TRUE(contains(polygons[0], {1, 2, 0}));
    EXPECT_TRUE(contains(polygons[0], {0.9921147f, 2, 0.1253331f}));
    EXPECT_TRUE(contains(polygons[0], {0.9685832f, 2, 0.2486899f}));
}

TEST_F(SupportSolids, ConeApexBaseAndNoTopCap) {
    const auto polygons = feedback([] { myAuxSolidCone(1, 2); });
    const auto points = allPoints(polygons);
    ASSERT_FALSE(points.empty());
    EXPECT_TRUE(contains(points, {0, 1, 0}));
    EXPECT_TRUE(contains(points, {1, -1, 0}));
    EXPECT_TRUE(contains(points, {0.9921147f, -1, 0.1253331f}));
    for (const Point& p : points) {
        if (p.y > 0) {
            EXPECT_TRUE(near(p, {0, 1, 0})) << "only the apex is above the base";
        } else {
            EXPECT_NEAR(p.y, -1, kTolerance);
            EXPECT_NEAR(std::hypot(p.x, p.z), 1, kTolerance);
        }
    }
    // The base first, from +x towards +z.
    EXPECT_TRUE(contains(polygons[0], {1, -1, 0}));
    EXPECT_TRUE(contains(polygons[0], {0.9921147f, -1, 0.1253331f}));
}

TEST_F(SupportSolids, BoxCornersAndNegativeSizes) {
    const auto positive = allPoints(feedback([] { auxSolidBox(2, 4, 6); }));
    ASSERT_FALSE(positive.empty());
    for (const Point& p : positive) {
        EXPECT_NEAR(std::fabs(p.x), 1, kTolerance);
        EXPECT_NEAR(std::fabs(p.y), 2, kTolerance);
        EXPECT_NEAR(std::fabs(p.z), 3, 4 * kTolerance);
    }
    for (int corner = 0; corner < 8; ++corner)
        EXPECT_TRUE(contains(positive, {corner & 4 ? 1.0f : -1.0f, corner & 2 ? 2.0f : -2.0f,
                                        corner & 1 ? 3.0f : -3.0f}));
    // Replayed from its list, and mirrored sizes, give the very same vertices.
    const auto replayed = allPoints(feedback([] { auxSolidBox(2, 4, 6); }));
    const auto mirrored = allPoints(feedback([] { auxSolidBox(-2, 4, -6); }));
    ASSERT_EQ(replayed.size(), positive.size());
    ASSERT_EQ(mirrored.size(), positive.size());
    for (std::size_t k = 0; k < positive.size(); ++k) {
        EXPECT_TRUE(near(replayed[k], positive[k])) << k;
        EXPECT_TRUE(near(mirrored[k], positive[k])) << k;
    }
}

TEST_F(SupportSolids, DegenerateSizesDrawWithoutError) {
    auxSolidBox(0, 0, 0);
    auxSolidSphere(0);
    myAuxSolidCylinder(0, 0);
    myAuxSolidCone(0, 3);
    myAuxSolidCylinder(2, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
