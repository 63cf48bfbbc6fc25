#include "shape_cache.h"

#include <cmath>
#include <limits>

#include "GestionOpenGL.h"
#include "gl_fixture.h"
#include "support/support_state.h"

namespace {

using SupportShapeCache = GlTest;

GLuint boxList(double w, double h, double d) {
    const double size[3] = {w, h, d};
    return findShapeList(kBoxShape, size, 3);
}

TEST_F(SupportShapeCache, OneListPerDistinctBoxSize) {
    auxSolidBox(2, 2, 2);
    const GLuint first = boxList(2, 2, 2);
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(glIsList(first));
    auxSolidBox(2, 2, 2);
    EXPECT_EQ(shapeListCount(), 1u);
    EXPECT_EQ(boxList(2, 2, 2), first);

    auxSolidBox(2, 2, 2.0000001);
    EXPECT_EQ(shapeListCount(), 2u);
    EXPECT_NE(boxList(2, 2, 2.0000001), first);

    auxSolidBox(-2, 2, 2);  // same faces, own entry
    EXPECT_EQ(shapeListCount(), 3u);
    EXPECT_NE(boxList(-2, 2, 2), first);
    EXPECT_TRUE(glIsList(boxList(-2, 2, 2)));
    EXPECT_EQ(boxList(2, 2, 3), 0u);
}

TEST_F(SupportShapeCache, SignedZerosAreOneSize) {
    auxSolidBox(0, 1, 1);
    auxSolidBox(-0.0, 1, 1);
    EXPECT_EQ(shapeListCount(), 1u);
    auxSolidBox(0, -0.0, 0);
    auxSolidBox(-0.0, 0, -0.0);
    EXPECT_EQ(shapeListCount(), 2u);
    auxSolidSphere(0);
    auxSolidSphere(-0.0);
    EXPECT_EQ(shapeListCount(), 3u);
}

TEST_F(SupportShapeCache, NaNSizesReuseOneEntry) {
    const double quiet = std::numeric_limits<double>::quiet_NaN();
    const double payload = std::nan("12345");
    for (int frame = 0; frame < 100; ++frame) {
        auxSolidBox(quiet, 1, 1);
        auxSolidBox(payload, 1, 1);
        auxSolidBox(-quiet, 1, 1);
        auxSolidSphere(quiet);
    }
    EXPECT_EQ(shapeListCount(), 2u);
    auxSolidBox(1, quiet, 1);  // another position is another size
    EXPECT_EQ(shapeListCount(), 3u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SupportShapeCache, SpheresAndBoxesNeverShare) {
    auxSolidSphere(1);
    auxSolidBox(1, 1, 1);
    EXPECT_EQ(shapeListCount(), 2u);
    const double radius = 1;
    const GLuint sphere = findShapeList(kSphereShape, &radius, 1);
    EXPECT_NE(sphere, 0u);
    EXPECT_NE(sphere, boxList(1, 1, 1));
    auxSolidSphere(1);
    auxSolidSphere(1.5);
    EXPECT_EQ(shapeListCount(), 3u);
}

TEST_F(SupportShapeCache, ManySizesAllStayFindable) {
    // Crosses several table growths, up to the most the cache holds.
    const int held = static_cast<int>(kMaxShapeLists);
    for (int k = 0; k < held; ++k) auxSolidBox(k * 0.25, 1, -k);
    EXPECT_EQ(shapeListCount(), kMaxShapeLists);
    for (int k = 0; k < held; ++k) auxSolidBox(k * 0.25, 1, -k);
    EXPECT_EQ(shapeListCount(), kMaxShapeLists);
    GLuint previous = 0;
    for (int k = 0; k < held; k += 99) {
        const GLuint list = boxList(k * 0.25, 1, -k);
        ASSERT_TRUE(glIsList(list)) << k;
        EXPECT_NE(list, previous);
        previous = list;
    }
    // Past the bound a size is drawn through a list of its own, not held.
    auxSolidBox(-1, -1, -1);
    auxSolidSphere(0.125);
    EXPECT_EQ(shapeListCount(), kMaxShapeLists);
    EXPECT_EQ(boxList(-1, -1, -1), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SupportShapeCache, AFrameStartFreesSizesTheLastFrameDidNotDraw) {
    auxSolidBox(1, 1, 1);
    auxSolidBox(2, 2, 2);
    const GLuint one = boxList(1, 1, 1), two = boxList(2, 2, 2);
    startShapeFrame();
    auxSolidBox(2, 2, 2);
    startShapeFrame();
    EXPECT_EQ(shapeListCount(), 1u);
    EXPECT_FALSE(glIsList(one));
    EXPECT_EQ(boxList(2, 2, 2), two);
    EXPECT_EQ(boxList(1, 1, 1), 0u);
    auxSolidBox(1, 1, 1);  // back again: compiled anew
    EXPECT_EQ(shapeListCount(), 2u);
    EXPECT_TRUE(glIsList(boxList(1, 1, 1)));
}

TEST_F(SupportShapeCache, ShapeMetWhileCompilingAnotherListIsNotCached) {
    const GLuint outer = glGenLists(1);
    glNewList(outer, GL_COMPILE);
    auxSolidBox(3, 3, 3);
    glEndList();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(shapeListCount(), 0u);
    auxSolidBox(3, 3, 3);
    EXPECT_EQ(shapeListCount(), 1u);
}

}  // namespace
