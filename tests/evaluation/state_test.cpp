// The evaluation against the real window: the screen interpreter draws the
// scene's first frame offscreen, and at every solid it draws (the support
// module's solid calls are wrapped) the GL's modelview, material and eight
// lights are read back with glGet* and set beside what the evaluation says.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "common/run.h"
#include "common/window_defaults.h"
#include "evaluation/evaluation.h"
#include "headless/headless.h"
#include "test_scenes/hostile_scenes.h"
#include "scene/console.h"
#include "test_scenes/random_scene.h"
#include "support/support_state.h"
#include "viewer/interpreter.h"
#include "viewer/view.h"

namespace {

const GLenum kLightParams[] = {GL_AMBIENT,
                               GL_DIFFUSE,
                               GL_SPECULAR,
                               GL_POSITION,
                               GL_SPOT_DIRECTION,
                               GL_SPOT_EXPONENT,
                               GL_SPOT_CUTOFF,
                               GL_CONSTANT_ATTENUATION,
                               GL_LINEAR_ATTENUATION,
                               GL_QUADRATIC_ATTENUATION};
const GLenum kMaterialParams[] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION, GL_SHININESS};

// Everything compared at one solid, in the order above; unused floats 0.
struct Snapshot {
    float modelview[16];
    float material[2][5][4];  // front, back
    float lights[8][10][4];
    bool enabled[8];
    bool turnsWithView[8];  // the evaluation's only
};

std::vector<Snapshot> drawn;

void recordGl() {
    Snapshot s{};
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
    for (int f = 0; f < 2; ++f)
        for (int p = 0; p < 5; ++p)
            glGetMaterialfv(f == 0 ? GL_FRONT : GL_BACK, kMaterialParams[p], s.material[f][p]);
    for (int k = 0; k < 8; ++k) {
        for (int p = 0; p < 10; ++p) glGetLightfv(GL_LIGHT0 + k, kLightParams[p], s.lights[k][p]);
        s.enabled[k] = glIsEnabled(GL_LIGHT0 + k);
    }
    drawn.push_back(s);
}

}  // namespace

// The solids are C++ functions: the linker wraps them by their mangled names.
extern "C" {
void __real__Z11auxSolidBoxddd(double, double, double);
void __real__Z14auxSolidSphered(double);
void __real__Z18myAuxSolidCylinderdd(double, double);
void __real__Z14myAuxSolidConedd(double, double);
void __wrap__Z11auxSolidBoxddd(double w, double h, double d) {
    recordGl();
    __real__Z11auxSolidBoxddd(w, h, d);
}
void __wrap__Z14auxSolidSphered(double r) {
    recordGl();
    __real__Z14auxSolidSphered(r);
}
void __wrap__Z18myAuxSolidCylinderdd(double r, double h) {
    recordGl();
    __real__Z18myAuxSolidCylinderdd(r, h);
}
void __wrap__Z14myAuxSolidConedd(double r, double h) {
    recordGl();
    __real__Z14myAuxSolidConedd(r, h);
}
}

namespace {

void copy(float* to, const float* from, int n) { std::memcpy(to, from, sizeof(float) * n); }

Snapshot evaluated() {
    Snapshot s{};
    copy(s.modelview, lastSolid().modelview, 16);
    const EvalMaterial& m = currentMaterial();
    for (int f = 0; f < 2; ++f) {
        copy(s.material[f][0], m.ambient, 4);
        copy(s.material[f][1], m.diffuse, 4);
        copy(s.material[f][2], m.specular, 4);
        copy(s.material[f][3], m.emission, 4);
        s.material[f][4][0] = m.shininess;
    }
    for (int k = 0; k < 8; ++k) {
        const EvalLight& l = currentLights().units[k];
        copy(s.lights[k][0], l.ambient, 4);
        copy(s.lights[k][1], l.diffuse, 4);
        copy(s.lights[k][2], l.specular, 4);
        copy(s.lights[k][3], l.position, 4);
        copy(s.lights[k][4], l.spotDirection, 3);
        s.lights[k][5][0] = l.spotExponent;
        s.lights[k][6][0] = l.spotCutoff;
        for (int a = 0; a < 3; ++a) s.lights[k][7 + a][0] = l.attenuation[a];
        s.enabled[k] = l.enabled;
        s.turnsWithView[k] = l.turnsWithView;
    }
    return s;
}

std::vector<Snapshot> evaluate(const std::string& text) {
    std::vector<Snapshot> out;
    startEvaluation();
    openSceneMemory(text.data(), text.size());
    SceneStatement statement;
    while (nextStatement(statement, NumberPrecision::Mixed))
        if (evaluateStatement(statement) == EvalStep::Solid) out.push_back(evaluated());
    closeScene();
    return out;
}

// GL light units 1 to 7 back to their initial values, as in a new window.
void resetLightUnits() {
    const float black[4] = {0, 0, 0, 1}, alongZ[4] = {0, 0, 1, 0}, downZ[3] = {0, 0, -1};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int k = 1; k < 8; ++k) {
        const GLenum l = GL_LIGHT0 + k;
        glLightfv(l, GL_AMBIENT, black);
        glLightfv(l, GL_DIFFUSE, black);
        glLightfv(l, GL_SPECULAR, black);
        glLightfv(l, GL_POSITION, alongZ);
        glLightfv(l, GL_SPOT_DIRECTION, downZ);
        glLightf(l, GL_SPOT_EXPONENT, 0);
        glLightf(l, GL_SPOT_CUTOFF, 180);
        glLightf(l, GL_CONSTANT_ATTENUATION, 1);
        glLightf(l, GL_LINEAR_ATTENUATION, 0);
        glLightf(l, GL_QUADRATIC_ATTENUATION, 0);
    }
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, downZ);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 0);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0);
}

std::string sceneText;

// The window's first frame of the scene at this view; its echo is dropped.
std::vector<Snapshot> drawFirstFrame(const std::string& text, float angleX, float angleY) {
    resetSupportState();
    resetView();
    resetLightUnits();
    restoreWindowDefaults(64);
    setViewAngles(angleX, angleY);
    sceneText = text;
    setFrameDrawer([] { drawSceneText("scene", sceneText.data(), sceneText.size()); });
    drawn.clear();
    consoleFlush();
    const int saved = dup(1), quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    displayFrame();
    consoleFlush();
    dup2(saved, 1);
    close(saved);
    close(quiet);
    return drawn;
}

std::uint32_t bitsOf(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// Bit for bit, or within `tolerance` of the larger magnitude when it is not 0.
::testing::AssertionResult same(const char* what, int k, const float* got, const float* want, int n,
                                double tolerance = 0) {
    for (int i = 0; i < n; ++i) {
        const bool equal = tolerance == 0 ? bitsOf(got[i]) == bitsOf(want[i])
                                          : std::fabs(got[i] - want[i]) <=
                                                tolerance * std::fmax(1.0, std::fabs(want[i]));
        if (!equal)
            return ::testing::AssertionFailure()
                   << what << " " << k << "[" << i << "]: evaluated " << got[i] << " (" << std::hex
                   << bitsOf(got[i]) << "), GL " << want[i] << " (" << bitsOf(want[i]) << std::dec
                   << ")";
    }
    return ::testing::AssertionSuccess();
}

// v' = Rx(ax) Ry(ay) v, in double, as the view turns what the scene places.
void turn(float ax, float ay, const float* in, float* out, int n) {
    const double a = ax * M_PI / 180, b = ay * M_PI / 180;
    const double x = in[0], y = in[1], z = in[2];
    const double x1 = std::cos(b) * x + std::sin(b) * z, z1 = -std::sin(b) * x + std::cos(b) * z;
    out[0] = static_cast<float>(x1);
    out[1] = static_cast<float>(std::cos(a) * y - std::sin(a) * z1);
    out[2] = static_cast<float>(std::sin(a) * y + std::cos(a) * z1);
    if (n == 4) out[3] = in[3];
}

void turnMatrix(float ax, float ay, const float* m, float* out) {
    for (int c = 0; c < 4; ++c) {
        turn(ax, ay, m + 4 * c, out + 4 * c, 3);
        out[4 * c + 3] = m[4 * c + 3];
    }
}

constexpr double kTurnTolerance = 2e-5;

void expectSameState(const std::string& text, float ax, float ay) {
    const auto gl = drawFirstFrame(text, ax, ay);
    const auto ev = evaluate(text);
    ASSERT_EQ(ev.size(), gl.size()) << "solids drawn";
    const bool turned = ax != 0 || ay != 0;
    const double tol = turned ? kTurnTolerance : 0;
    for (std::size_t n = 0; n < gl.size(); ++n) {
        SCOPED_TRACE(::testing::Message() << "solid " << n);
        const Snapshot &g = gl[n], &e = ev[n];
        float want[16];
        if (turned)
            turnMatrix(ax, ay, e.modelview, want);
        else
            copy(want, e.modelview, 16);
        ASSERT_TRUE(same("modelview", 0, want, g.modelview, 16, tol));
        for (int f = 0; f < 2; ++f)
            ASSERT_TRUE(same("material face", f, e.material[f][0], g.material[f][0], 20));
        for (int k = 0; k < 8; ++k) {
            ASSERT_EQ(e.enabled[k], g.enabled[k]) << "light " << k;
            float lights[10][4];
            std::memcpy(lights, e.lights[k], sizeof lights);
            const bool moves = turned && e.turnsWithView[k];
            if (moves) {
                turn(ax, ay, e.lights[k][3], lights[3], 4);
                turn(ax, ay, e.lights[k][4], lights[4], 3);
            }
            ASSERT_TRUE(same("light colours", k, lights[0], g.lights[k][0], 12));
            ASSERT_TRUE(same("light place", k, lights[3], g.lights[k][3], 8, moves ? tol : 0));
            ASSERT_TRUE(same("light terms", k, lights[5], g.lights[k][5], 20));
        }
    }
}

class EvaluationState : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(openHeadlessContext(64, 64)) << headlessError(); }
    static void TearDownTestSuite() { closeHeadlessContext(); }
};

const float kViews[][2] = {{0, 0}, {30, 320}};

TEST_F(EvaluationState, BundledExamples) {
    for (const char* name : {"lights", "robot", "still_life"}) {
        const std::string text =
            readFile(std::string(MIROVAN_SOURCE_DIR "/examples/") + name + ".scn");
        for (const auto& view : kViews) {
            SCOPED_TRACE(::testing::Message() << name << " at " << view[0] << ", " << view[1]);
            expectSameState(text, view[0], view[1]);
        }
    }
}

TEST_F(EvaluationState, WhatTheSupportModuleDoesThatAReaderWouldNotGuess) {
    const char* scenes[] = {
        // A spot's cut-off truncated when added, whole when a Pop re-applies it.
        "Spotlight 0 5 0 0 -1 0 1 1 1 1 30.7\nPush\nRotation 33 1 1 0\nSphere 1\nPop\nCube 1 1 1\n",
        // Refused cut-offs leave the unit's previous one; -0.5 and 180.5 pass
        // only truncated.
        "Push\nSpotlight 0 5 0 0 -1 0 1 1 1 1 20\nPop\nPush\nSpotlight 0 5 0 0 -1 0 1 1 1 1 95\n"
        "Cone 1 2\nPush\nSpotlight 1 1 1 0 0 -1 1 1 1 1 -0.5\nSpotlight 1 1 1 0 0 -1 1 1 1 1 "
        "180.5\n"
        "Cube 1 1 1\nPush\nPop\nCube 1 1 1\nPop\nPop\nSphere 1\n",
        // Shininess outside 0..128 refused.
        "Material 1 0 0 0 0 0 1 1 1 0 0 0 20\nCube 1 1 1\nMaterial 0 1 0 0 0 0 1 1 1 0 0 0 200\n"
        "Sphere 1\nMaterial 0 0 1 0 0 0 1 1 1 0 0 0 -1\nCone 1 1\n",
        // The initial light placed again, turning with the view, when a Pop
        // empties the set; a ninth light ignored; an unmatched Pop ignored.
        "Pop\nRotation 40 0 1 0\nPush\nPointlight 1 2 3 1 1 1 1\nPop\nCube 1 1 1\nPop\n"
        "Pointlight 0 0 0 1 1 0 0\nDirlight 0 0 -1 1 1 1 1\nPointlight 1 0 0 1 1 1 1\n"
        "Pointlight 2 0 0 1 1 1 1\nPointlight 3 0 0 1 1 1 1\nPointlight 4 0 0 1 1 1 1\n"
        "Pointlight 5 0 0 1 1 1 1\nPointlight 6 0 0 1 1 1 1\nPointlight 7 0 0 1 1 1 1\nSphere 2\n",
        // Zoom, a zero angle and an axis too short to turn about.
        "Zoom 2 0.5 -1\nRotation 0 1 0 0\nRotation 30 0 0 0.00001\nRotation -45 0 0 -1\nCube 1 2 "
        "3\n"
        "Spotlight 1 2 3 1 1 0 1 1 1 1 45\nCylindre 1 2\n",
    };
    std::vector<std::string> texts(std::begin(scenes), std::end(scenes));
    // Past the GL's stack, a Pop loads the saved matrix and the GL then
    // multiplies in full 4 x 4 until it next examines the matrix: the sign
    // of a zero tells which.
    std::string deep = "Pointlight 0 0 0 1 1 1 1\n";
    for (int k = 0; k < 30; ++k) deep += "Push\n";
    deep +=
        "Zoom 1 -0 -0\nPush\nPop\nRotation 90 0 0 1\nCube 1 1 1\nPush\nPop\nCube 1 1 1\n"
        "Rotation 90 0 0 1\nCube 1 1 1\n";
    for (int k = 0; k < 30; ++k) deep += "Pop\n";
    texts.push_back(deep);
    // Every level moves, changes the material and adds a light, 85 deep:
    // beyond 50 the material and light stacks save nothing, beyond 79 the
    // matrix neither (29 entries of the GL's stack, then the support
    // module's 50).
    std::string deeper;
    for (int k = 0; k < 85; ++k)
        deeper += "Push\nTranslation 0.5 0 0.25\nMaterial 0 0 0 0 0 0 0 0 0 0 0 " +
                  std::to_string(k) + " " + std::to_string(k) + "\nPointlight " +
                  std::to_string(k) + " 0 0 1 1 1 1\n";
    for (int k = 0; k < 85; ++k) deeper += "Pop\nSphere 1\n";
    texts.push_back(deeper);
    for (const std::string& text : texts)
        for (const auto& view : kViews) {
            SCOPED_TRACE(::testing::Message() << text << "at " << view[0] << ", " << view[1]);
            expectSameState(text, view[0], view[1]);
        }
}

TEST_F(EvaluationState, RandomScenes) {
    for (int seed = 1; seed <= 24; ++seed) {
        const std::string text = stressScene(seed);
        for (const auto& view : kViews) {
            SCOPED_TRACE(::testing::Message()
                         << "seed " << seed << " at " << view[0] << ", " << view[1] << "\n"
                         << text);
            expectSameState(text, view[0], view[1]);
            if (HasFatalFailure()) return;
        }
    }
}

TEST_F(EvaluationState, HostileScenes) {
    for (const HostileScene& scene : hostileScenes())
        for (const auto& view : kViews) {
            SCOPED_TRACE(::testing::Message()
                         << scene.name << " at " << view[0] << ", " << view[1]);
            expectSameState(scene.text, view[0], view[1]);
        }
}

// What each statement did, and the lights as the scene gave them, for
// exports that place lights on nodes.
TEST(EvaluationSteps, StepsAndAddedLights) {
    std::string text =
        "Pop\nfoo\nPush\nTranslation 1 2 3\nMaterial 1 0 0 0 0 0 0 0 0 0 0 0 5\n"
        "Spotlight 1 2 3 0 -1 0 0.5 1 0.5 0.25 30.7\nCube 1 2 3\nDirlight 0 0 -2 1 1 1 1\n";
    for (int k = 0; k < 7; ++k) text += "Pointlight 0 0 0 1 1 1 1\n";
    text += "Pop\nSphere 2\n";
    const EvalStep want[] = {EvalStep::None,        EvalStep::None,        EvalStep::GroupOpened,
                             EvalStep::Transformed, EvalStep::MaterialSet, EvalStep::LightAdded,
                             EvalStep::Solid,       EvalStep::LightAdded,  EvalStep::LightAdded,
                             EvalStep::LightAdded,  EvalStep::LightAdded,  EvalStep::LightAdded,
                             EvalStep::LightAdded,  EvalStep::LightAdded,  EvalStep::None,
                             EvalStep::GroupClosed, EvalStep::Solid};
    startEvaluation();
    EXPECT_FALSE(sceneAddedLights());
    openSceneMemory(text.data(), text.size());
    SceneStatement s;
    std::uint32_t cubeMaterial = 0, cubeLights = 0;
    for (std::size_t n = 0; nextStatement(s, NumberPrecision::Mixed); ++n) {
        ASSERT_LT(n, std::size(want));
        EXPECT_EQ(evaluateStatement(s), want[n]) << "statement " << n;
        if (s.kind == StatementKind::Spotlight) {
            const EvalAddedLight& l = lastLight();
            EXPECT_EQ(l.unit, 0);
            EXPECT_EQ(l.cutOff, 30.7f);  // as given, though the GL got 30
            EXPECT_EQ(currentLights().units[0].spotCutoff, 30);
            const float position[4] = {1, 2, 3, 1}, direction[3] = {0, -1, 0},
                        colour[3] = {1, 0.5f, 0.25f};
            EXPECT_EQ(0, std::memcmp(l.position, position, sizeof position));
            EXPECT_EQ(0, std::memcmp(l.direction, direction, sizeof direction));
            EXPECT_EQ(0, std::memcmp(l.colour, colour, sizeof colour));
            EXPECT_EQ(l.intensity, 0.5f);
            EXPECT_EQ(l.modelview[12], 1);
            EXPECT_EQ(l.modelview[14], 3);
            EXPECT_TRUE(sceneAddedLights());
        }
        if (s.kind == StatementKind::Dirlight) {
            const float position[4] = {-0.0f, -0.0f, 2, 0};
            EXPECT_EQ(lastLight().unit, 1);
            EXPECT_EQ(0, std::memcmp(lastLight().position, position, sizeof position));
            EXPECT_EQ(lastLight().cutOff, 180);
        }
        if (s.kind == StatementKind::Cube) {
            const EvalSolid& c = lastSolid();
            EXPECT_EQ(c.size[0], 1);
            EXPECT_EQ(c.size[2], 3);
            EXPECT_EQ(c.depth, 1);
            EXPECT_EQ(openGroups(), 1);
            cubeMaterial = c.material;
            cubeLights = c.lights;
            EXPECT_EQ(currentMaterial().diffuse[0], 1);
        }
        if (s.kind == StatementKind::Sphere) {
            EXPECT_EQ(lastSolid().depth, 0);
            EXPECT_NE(lastSolid().material, cubeMaterial);
            EXPECT_NE(lastSolid().lights, cubeLights);
            EXPECT_EQ(currentMaterial().diffuse[0], 0.8f);  // back to the initial one
            EXPECT_TRUE(currentLights().units[0].enabled);
            EXPECT_FALSE(currentLights().units[1].enabled);
        }
    }
    closeScene();
}

}  // namespace
