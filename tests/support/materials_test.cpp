#include "GestionOpenGL.h"
#include "gl_fixture.h"
#include "support/support_state.h"

namespace {

using SupportMaterials = GlTest;

struct Colours {
    Vec4 ambient, diffuse, emission, specular;
    float shininess;
};

void apply(const Colours& c) {
    affecteMaterial(c.ambient.data(), c.diffuse.data(), c.emission.data(), c.specular.data(),
                    c.shininess);
}

// A material whose components are all distinct, keyed by seed.
Colours numbered(float seed) {
    const float s = seed / 100.0f;
    return {{s, s + 0.01f, s + 0.02f, 1},
            {s + 0.03f, s + 0.04f, s + 0.05f, 1},
            {s / 2, s / 3, s / 7, 1},
            {1 - s, 1 - s / 2, 1 - s / 3, 1},
            seed};
}

void expectFace(GLenum face, const Colours& c) {
    EXPECT_TRUE(sameBits(materialOf(face, GL_AMBIENT), c.ambient));
    EXPECT_TRUE(sameBits(materialOf(face, GL_DIFFUSE), c.diffuse));
    EXPECT_TRUE(sameBits(materialOf(face, GL_EMISSION), c.emission));
    EXPECT_TRUE(sameBits(materialOf(face, GL_SPECULAR), c.specular));
    EXPECT_EQ(materialOf(face, GL_SHININESS)[0], c.shininess);
}

void expectBothFaces(const Colours& c) {
    SCOPED_TRACE("front");
    expectFace(GL_FRONT, c);
    SCOPED_TRACE("back");
    expectFace(GL_BACK, c);
}

TEST_F(SupportMaterials, SetsBothFacesInParameterOrder) {
    const Colours c{{0.1f, 0.2f, 0.3f, 1}, {0.4f, 0.5f, 0.6f, 1}, {0, 0, 0, 1}, {1, 1, 1, 1}, 50};
    apply(c);
    expectBothFaces(c);
    EXPECT_EQ(materialStackDepth(), 0);
}

TEST_F(SupportMaterials, PushPopRestoresFrontBitForBitOntoBothFaces) {
    // Values that do not survive a trip through a narrower type.
    const Colours front{{0.1f, 1.0f / 3, 1e-7f, 0.7f},
                        {0.123456789f, 0.9999999f, 2.5f, 1},
                        {0.3f, 0.0f, 1e-30f, 1},
                        {0.77f, 0.66f, 0.55f, 0.5f},
                        12.345678f};
    apply(front);
    const GLfloat backOnly[4] = {0.9f, 0.8f, 0.7f, 1};
    glMaterialfv(GL_BACK, GL_DIFFUSE, backOnly);

    pushMaterial();
    popMaterial();
    expectBothFaces(front);

    pushMaterial();
    apply(numbered(3));
    popMaterial();
    expectBothFaces(front);
    EXPECT_EQ(materialStackDepth(), 0);
}

TEST_F(SupportMaterials, NestedBracketsRestoreInTurn) {
    const Colours first = numbered(1), second = numbered(2), third = numbered(3);
    apply(first);
    pushMaterial();
    apply(second);
    pushMaterial();
    apply(third);
    EXPECT_EQ(materialStackDepth(), 2);
    popMaterial();
    expectBothFaces(second);
    popMaterial();
    expectBothFaces(first);
    EXPECT_EQ(materialStackDepth(), 0);
}

TEST_F(SupportMaterials, InitialMaterialIsSavedAndWrittenBack) {
    pushMaterial();
    apply(numbered(4));
    popMaterial();
    expectBothFaces({{0.2f, 0.2f, 0.2f, 1}, {0.8f, 0.8f, 0.8f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0});
}

TEST_F(SupportMaterials, ShininessTheGlRefusesLeavesThePreviousOne) {
    apply(numbered(50));
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    Colours wild = numbered(7);
    wild.shininess = 200;
    apply(wild);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
    EXPECT_EQ(materialOf(GL_FRONT, GL_SHININESS)[0], 50);
    EXPECT_EQ(materialOf(GL_BACK, GL_SHININESS)[0], 50);
    EXPECT_TRUE(sameBits(materialOf(GL_FRONT, GL_AMBIENT), wild.ambient));
}

TEST_F(SupportMaterials, BracketsStayPairedBeyondCapacity) {
    std::string out = printedBy([] {
        for (int k = 0; k <= 51; ++k) {  // 52 pushes, the last two unsaved
            apply(numbered(static_cast<float>(k)));
            pushMaterial();
        }
    });
    EXPECT_EQ(materialStackDepth(), 52);
    EXPECT_EQ(out, "Trop de materiaux empiles!!!\n");

    const Colours inner = numbered(99);
    apply(inner);
    popMaterial();
    popMaterial();
    // Both pops matched unsaved pushes: nothing restored.
    expectBothFaces(inner);
    EXPECT_EQ(materialStackDepth(), 50);
    for (int k = 49; k >= 0; --k) {
        popMaterial();
        ASSERT_EQ(materialOf(GL_FRONT, GL_SHININESS)[0], static_cast<float>(k));
    }
    expectBothFaces(numbered(0));

    out = printedBy([] {
        popMaterial();
        popMaterial();
    });
    EXPECT_EQ(out, "Pile de materiaux vide!!!\n");
    EXPECT_EQ(materialStackDepth(), 0);
    expectBothFaces(numbered(0));
}

}  // namespace
