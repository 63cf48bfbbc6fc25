#include <vector>

#include "GestionOpenGL.h"
#include "gl_fixture.h"
#include "support/support_state.h"

namespace {

using SupportLights = GlTest;

const GLenum kAllParams[] = {GL_AMBIENT,
                             GL_DIFFUSE,
                             GL_SPECULAR,
                             GL_POSITION,
                             GL_SPOT_DIRECTION,
                             GL_SPOT_EXPONENT,
                             GL_SPOT_CUTOFF,
                             GL_CONSTANT_ATTENUATION,
                             GL_LINEAR_ATTENUATION,
                             GL_QUADRATIC_ATTENUATION};

// Every parameter and the enable of all eight lights.
std::vector<GLfloat> allLightState() {
    std::vector<GLfloat> s;
    for (int k = 0; k < 8; ++k) {
        for (GLenum p : kAllParams) {
            const Vec4 v = lightOf(GL_LIGHT0 + k, p);
            s.insert(s.end(), v.begin(), v.end());
        }
        s.push_back(lightEnabled(k));
    }
    return s;
}

void expectNear(const Vec4& got, const Vec4& want) {
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(got[k], want[k], 1e-5) << "component " << k;
}

void expectFixedTerms(GLenum light) {
    EXPECT_EQ(lightOf(light, GL_SPOT_EXPONENT)[0], 0);
    EXPECT_EQ(lightOf(light, GL_CONSTANT_ATTENUATION)[0], 1);
    EXPECT_EQ(lightOf(light, GL_LINEAR_ATTENUATION)[0], 0);
    EXPECT_EQ(lightOf(light, GL_QUADRATIC_ATTENUATION)[0], 0);
}

TEST_F(SupportLights, PointLightIsPlacedUnderTheCurrentModelview) {
    glTranslatef(1, 2, 3);
    affectePointLight(1, 0.5f, 0, 0, 5, 0, 0.5f);
    EXPECT_EQ(currentLightCount(), 1);
    EXPECT_TRUE(lightEnabled(0));
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_AMBIENT), {0, 0, 0, 1}));
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_DIFFUSE), {0.5f, 0.25f, 0, 1}));
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_SPECULAR), {0.5f, 0.25f, 0, 1}));
    expectNear(lightOf(GL_LIGHT0, GL_POSITION), {1, 7, 3, 1});
    expectNear(lightOf(GL_LIGHT0, GL_SPOT_DIRECTION), {0, 0, -1, 0});
    EXPECT_EQ(lightOf(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 180);
    expectFixedTerms(GL_LIGHT0);
}

TEST_F(SupportLights, DirectionalLightPointsBackAlongItsTravel) {
    glTranslatef(5, 5, 5);  // no effect on a direction
    affecteDirLight(1, 1, 1, 0, -1, 0, 1);
    expectNear(lightOf(GL_LIGHT0, GL_POSITION), {0, 1, 0, 0});
    glLoadIdentity();
    glRotatef(90, 0, 0, 1);
    affecteDirLight(1, 1, 1, 0, -1, 0, 1);
    expectNear(lightOf(GL_LIGHT1, GL_POSITION), {-1, 0, 0, 0});
    EXPECT_EQ(lightOf(GL_LIGHT1, GL_SPOT_CUTOFF)[0], 180);
    EXPECT_EQ(currentLightCount(), 2);
}

TEST_F(SupportLights, SpotCutOffIsTruncatedWhenAddedAndExactWhenReapplied) {
    glTranslatef(0, 0, -10);
    pushLumieres();
    affecteSpotLight(0.3f, 0.6f, 0.9f, 0, 5, 0, 0, -1, 0, 0.7f, 30.7f);
    const Vec4 added = lightOf(GL_LIGHT0, GL_DIFFUSE);
    EXPECT_EQ(lightOf(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 30);
    expectNear(lightOf(GL_LIGHT0, GL_POSITION), {0, 5, -10, 1});
    expectNear(lightOf(GL_LIGHT0, GL_SPOT_DIRECTION), {0, -1, 0, 0});

    pushLumieres();
    glLoadIdentity();
    glRotatef(33, 1, 1, 0);
    const Matrix before = modelview();
    popLumieres();
    EXPECT_EQ(modelview(), before);
    EXPECT_EQ(lightOf(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 30.7f);
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_DIFFUSE), added));
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_SPECULAR), added));
    expectNear(lightOf(GL_LIGHT0, GL_POSITION), {0, 5, -10, 1});
    expectNear(lightOf(GL_LIGHT0, GL_SPOT_DIRECTION), {0, -1, 0, 0});
    expectFixedTerms(GL_LIGHT0);
}

TEST_F(SupportLights, PopRebuildsSavedLightsUnderTheirOwnMatrices) {
    glTranslatef(1, 0, 0);
    affectePointLight(1, 1, 1, 0, 0, 0, 1);
    glTranslatef(0, 2, 0);
    affecteDirLight(1, 1, 1, 0, 0, -1, 1);
    glRotatef(90, 0, 1, 0);
    const Vec4 p0 = lightOf(GL_LIGHT0, GL_POSITION), p1 = lightOf(GL_LIGHT1, GL_POSITION);

    pushLumieres();
    for (int k = 0; k < 3; ++k) affectePointLight(0.5f, 0.5f, 0.5f, k, k, k, 1);
    EXPECT_EQ(currentLightCount(), 5);
    EXPECT_TRUE(lightEnabled(4));

    glLoadIdentity();
    glTranslatef(-7, 3, 9);
    popLumieres();
    EXPECT_EQ(currentLightCount(), 2);
    EXPECT_EQ(lightStackDepth(), 0);
    expectNear(lightOf(GL_LIGHT0, GL_POSITION), p0);
    expectNear(lightOf(GL_LIGHT1, GL_POSITION), p1);
    expectNear(p0, {1, 0, 0, 1});
    expectNear(p1, {0, 0, 1, 0});
    EXPECT_TRUE(lightEnabled(0));
    EXPECT_TRUE(lightEnabled(1));
    for (int k = 2; k < 8; ++k) EXPECT_FALSE(lightEnabled(k)) << "light " << k;

    glLoadIdentity();
    affectePointLight(1, 1, 1, 4, 4, 4, 1);
    EXPECT_TRUE(lightEnabled(2));
    expectNear(lightOf(GL_LIGHT2, GL_POSITION), {4, 4, 4, 1});
    EXPECT_EQ(currentLightCount(), 3);
}

TEST_F(SupportLights, PoppingToAnEmptySetBringsBackTheDefaultLight) {
    pushLumieres();
    affecteSpotLight(1, 0, 0, 1, 2, 3, 0, 0, -1, 2, 45);
    affectePointLight(0, 1, 0, 0, 0, 0, 1);
    glRotatef(90, 0, 1, 0);  // the default light follows the modelview at the pop
    popLumieres();
    EXPECT_EQ(currentLightCount(), 0);
    EXPECT_TRUE(lightEnabled(0));
    for (int k = 1; k < 8; ++k) EXPECT_FALSE(lightEnabled(k)) << "light " << k;
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_AMBIENT), {0, 0, 0, 1}));
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_DIFFUSE), {1, 1, 1, 1}));
    EXPECT_TRUE(sameBits(lightOf(GL_LIGHT0, GL_SPECULAR), {1, 1, 1, 1}));
    expectNear(lightOf(GL_LIGHT0, GL_POSITION), {1, 0, 0, 0});
    expectNear(lightOf(GL_LIGHT0, GL_SPOT_DIRECTION), {-1, 0, 0, 0});
    EXPECT_EQ(lightOf(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 180);
    expectFixedTerms(GL_LIGHT0);
}

TEST_F(SupportLights, PushLeavesTheGlAlone) {
    affectePointLight(1, 1, 1, 1, 2, 3, 1);
    affecteSpotLight(1, 1, 1, 1, 2, 3, 0, 1, 0, 1, 20.5f);
    glTranslatef(3, 3, 3);
    const std::vector<GLfloat> before = allLightState();
    pushLumieres();
    EXPECT_EQ(allLightState(), before);

    // Recorded into a list, a push would replay GL calls; it must leave none.
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    pushLumieres();
    glEndList();
    glDisable(GL_LIGHT0);
    const GLfloat red[4] = {1, 0, 0, 1};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, red);
    const std::vector<GLfloat> changed = allLightState();
    glCallList(list);
    EXPECT_EQ(allLightState(), changed);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(lightStackDepth(), 2);
}

TEST_F(SupportLights, NinthLightIsIgnoredWithOneMessage) {
    const std::string out = printedBy([] {
        for (int k = 0; k < 10; ++k) affectePointLight(1, 1, 1, static_cast<float>(k), 0, 0, 1);
    });
    EXPECT_EQ(out, "Trop de lumieres!!!\n");
    EXPECT_EQ(currentLightCount(), 8);
    expectNear(lightOf(GL_LIGHT7, GL_POSITION), {7, 0, 0, 1});
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SupportLights, BracketsStayPairedBeyondCapacity) {
    affectePointLight(1, 1, 1, 1, 0, 0, 1);
    std::string out = printedBy([] {
        for (int k = 0; k < 52; ++k) pushLumieres();
    });
    EXPECT_EQ(out, "Trop d'ensembles de lumieres empiles!!!\n");
    EXPECT_EQ(lightStackDepth(), 52);

    affectePointLight(1, 1, 1, 2, 0, 0, 1);
    popLumieres();
    popLumieres();
    // Unsaved pushes: nothing restored, light 1 still on.
    EXPECT_EQ(currentLightCount(), 2);
    EXPECT_TRUE(lightEnabled(1));
    popLumieres();
    EXPECT_EQ(currentLightCount(), 1);
    EXPECT_FALSE(lightEnabled(1));
    for (int k = 0; k < 49; ++k) popLumieres();
    EXPECT_EQ(lightStackDepth(), 0);

    out = printedBy([] {
        popLumieres();
        popLumieres();
    });
    EXPECT_EQ(out, "Pile de lumieres vide!!!\n");
    EXPECT_EQ(lightStackDepth(), 0);
    EXPECT_EQ(currentLightCount(), 1);
    expectNear(lightOf(GL_LIGHT0, GL_POSITION), {1, 0, 0, 1});
}

}  // namespace
