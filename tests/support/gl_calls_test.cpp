// The exact calls the solids send, and what the steady state allocates.
#include <GL/glu.h>

#include <cmath>
#include <vector>

#include "GestionOpenGL.h"
#include "alloc_counter.h"
#include "call_recorder.h"
#include "gl_fixture.h"
#include "support_state.h"

namespace {

using SupportCalls = GlTest;

constexpr double kStep = 0.1256636;

std::vector<GlCall> record(void (*draw)()) {
    startRecording();
    draw();
    stopRecording();
    std::vector<GlCall> calls;
    for (int k = 0; k < recordedCount(); ++k) calls.push_back(recorded(k));
    return calls;
}

std::vector<GlCall> only(const std::vector<GlCall>& calls, const char* name) {
    std::vector<GlCall> picked;
    for (const GlCall& c : calls)
        if (c.is(name)) picked.push_back(c);
    return picked;
}

void expectCall(const GlCall& c, const char* name, std::vector<double> args) {
    EXPECT_TRUE(c.is(name)) << c.name << " instead of " << name;
    ASSERT_EQ(c.count, static_cast<int>(args.size())) << name;
    for (int k = 0; k < c.count; ++k) EXPECT_EQ(c.arg[k], args[k]) << name << " argument " << k;
}

// Exact ring point i as computed on the spot: the shared table must match.
double ringCos(int i) { return i % 50 == 0 ? 1.0 : std::cos(i * kStep); }
double ringSin(int i) { return i % 50 == 0 ? 0.0 : std::sin(i * kStep); }

TEST_F(SupportCalls, CylinderRingIsExactAndClosesAtAngleZero) {
    static const double r = 2.5, h = 1.5;
    const auto calls = record([] { myAuxSolidCylinder(r, 2 * h); });
    const auto vertices = only(calls, "glVertex3d");
    ASSERT_EQ(vertices.size(), 300u);
    ASSERT_EQ(only(calls, "glBegin").size(), 3u);
    expectCall(calls[0], "glBegin", {GL_POLYGON});
    expectCall(calls[1], "glNormal3f", {0, 1, 0});
    expectCall(calls[53], "glBegin", {GL_POLYGON});
    expectCall(calls[54], "glNormal3f", {0, -1, 0});
    expectCall(calls[106], "glBegin", {GL_QUADS});
    expectCall(calls.back(), "glEnd", {});
    for (int i = 0; i < 50; ++i) {
        expectCall(vertices[i], "glVertex3d", {r * ringCos(i), h, r * ringSin(i)});
        expectCall(vertices[50 + i], "glVertex3d", {r * ringCos(i), -h, r * ringSin(i)});
    }
    // Side quads: top i, top i+1, bottom i+1, bottom i, normals per vertex.
    for (int i = 0; i < 50; ++i) {
        const GlCall* q = &calls[107 + 7 * i];
        expectCall(q[0], "glNormal3d", {ringCos(i), 0, ringSin(i)});
        expectCall(q[1], "glVertex3d", {r * ringCos(i), h, r * ringSin(i)});
        expectCall(q[2], "glNormal3d", {ringCos(i + 1), 0, ringSin(i + 1)});
        expectCall(q[3], "glVertex3d", {r * ringCos(i + 1), h, r * ringSin(i + 1)});
        expectCall(q[4], "glVertex3d", {r * ringCos(i + 1), -h, r * ringSin(i + 1)});
        expectCall(q[5], "glNormal3d", {ringCos(i), 0, ringSin(i)});
        expectCall(q[6], "glVertex3d", {r * ringCos(i), -h, r * ringSin(i)});
    }
    // The last segment ends exactly on point 0, not on 50 steps round.
    expectCall(calls[107 + 7 * 49 + 3], "glVertex3d", {r, h, 0});
    EXPECT_EQ(only(calls, "glNormal3f").size(), 2u);
}

// Corner c has x1 when bit 4 is set, y1 for bit 2, z1 for bit 1, except
// that the corner table numbers them 0..7 as x0y0z0, x0y0z1, x0y1z1, x0y1z0,
// x1y0z0, x1y0z1, x1y1z1, x1y1z0.
std::vector<double> corner(int c, double w, double h, double d) {
    const bool x1 = c >= 4, y1 = c % 4 == 2 || c % 4 == 3, z1 = c % 4 == 1 || c % 4 == 2;
    return {x1 ? w / 2 : -w / 2, y1 ? h / 2 : -h / 2, z1 ? d / 2 : -d / 2};
}

void expectBoxFaces(const std::vector<GlCall>& calls, int first, double w, double h, double d) {
    const double normal[6][3] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0},
                                 {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const int corners[6][4] = {{0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4},
                               {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3}};
    for (int f = 0; f < 6; ++f) {
        const GlCall* c = &calls[first + 10 * f];
        expectCall(c[0], "glBegin", {GL_QUADS});
        for (int k = 0; k < 4; ++k) {
            expectCall(c[1 + 2 * k], "glNormal3dv", {normal[f][0], normal[f][1], normal[f][2]});
            expectCall(c[2 + 2 * k], "glVertex3dv", corner(corners[f][k], w, h, d));
        }
        expectCall(c[9], "glEnd", {});
    }
}

// Compiled, then drawn by calling the list: the first drawing is shaded as
// every replay is.
TEST_F(SupportCalls, BoxIsCompiledOnceFaceByFaceThenReplayed) {
    const auto first = record([] { auxSolidBox(2, 4, 6); });
    ASSERT_EQ(first.size(), 63u);
    ASSERT_TRUE(first[0].is("glNewList"));
    EXPECT_EQ(first[0].arg[1], GL_COMPILE);
    expectBoxFaces(first, 1, 2, 4, 6);
    expectCall(first[61], "glEndList", {});
    expectCall(first[62], "glCallList", {first[0].arg[0]});

    const auto again = record([] { auxSolidBox(2, 4, 6); });
    ASSERT_EQ(again.size(), 1u);
    expectCall(again[0], "glCallList", {first[0].arg[0]});

    const auto mirrored = record([] { auxSolidBox(-2, -4, 6); });
    ASSERT_EQ(mirrored.size(), 63u);
    EXPECT_NE(mirrored[0].arg[0], first[0].arg[0]);
    expectBoxFaces(mirrored, 1, 2, 4, 6);
}

TEST_F(SupportCalls, SphereIsCompiledOnceWithSixteenSlicesAndStacks) {
    const auto first = record([] { auxSolidSphere(0.75); });
    ASSERT_EQ(first.size(), 6u);
    ASSERT_TRUE(first[0].is("glNewList"));
    EXPECT_EQ(first[0].arg[1], GL_COMPILE);
    expectCall(first[1], "gluQuadricDrawStyle", {GLU_FILL});
    expectCall(first[2], "gluQuadricNormals", {GLU_SMOOTH});
    expectCall(first[3], "gluSphere", {0.75, 16, 16});
    expectCall(first[4], "glEndList", {});
    expectCall(first[5], "glCallList", {first[0].arg[0]});
    const auto again = record([] { auxSolidSphere(0.75); });
    ASSERT_EQ(again.size(), 1u);
    expectCall(again[0], "glCallList", {first[0].arg[0]});
}

TEST_F(SupportCalls, SpotIsAddedWithAnIntegerCutOffAndReappliedUnderItsMatrix) {
    const auto added = record([] {
        glTranslatef(0, 0, -4);
        affecteSpotLight(1, 1, 1, 0, 0, 0, 0, 0, -1, 1, 30.7f);
    });
    const auto cutOff = only(added, "glLighti");
    ASSERT_EQ(cutOff.size(), 1u);
    expectCall(cutOff[0], "glLighti", {GL_LIGHT0, GL_SPOT_CUTOFF, 30});
    expectCall(added.back(), "glEnable", {GL_LIGHT0});

    pushLumieres();
    const auto reapplied = record([] { popLumieres(); });
    ASSERT_GE(reapplied.size(), 3u);
    expectCall(reapplied[0], "glPushMatrix", {});
    expectCall(reapplied[1], "glLoadMatrixf", {1, 1, 1, 0, 0, -4});
    EXPECT_TRUE(only(reapplied, "glLighti").empty());
    bool sawCutOff = false;
    for (const GlCall& c : only(reapplied, "glLightf"))
        if (c.arg[1] == GL_SPOT_CUTOFF) {
            EXPECT_EQ(c.arg[2], static_cast<double>(30.7f));
            sawCutOff = true;
        }
    EXPECT_TRUE(sawCutOff);
    // Light 0 re-enabled after its matrix is popped, then 1..7 switched off.
    const int n = static_cast<int>(reapplied.size());
    expectCall(reapplied[n - 9], "glPopMatrix", {});
    expectCall(reapplied[n - 8], "glEnable", {GL_LIGHT0});
    for (int k = 1; k < 8; ++k)
        expectCall(reapplied[n - 8 + k], "glDisable", {double(GL_LIGHT0 + k)});
}

TEST_F(SupportCalls, PushAndRefusedRequestsSendNothing) {
    for (int k = 0; k < 8; ++k) affectePointLight(1, 1, 1, 0, 0, 0, 1);
    const auto calls = record([] {
        pushLumieres();
        affectePointLight(1, 1, 1, 0, 0, 0, 1);  // a ninth
        for (int k = 0; k < 60; ++k) pushLumieres();
        for (int k = 0; k < 10; ++k) popLumieres();  // all unsaved
    });
    EXPECT_TRUE(calls.empty()) << calls.front().name;
    EXPECT_EQ(lightStackDepth(), 51);
}

TEST_F(SupportCalls, SteadyStateDoesNotAllocate) {
    auto frame = [] {
        pushMaterial();
        pushLumieres();
        affectePointLight(1, 1, 1, 0, 3, 0, 1);
        auxSolidBox(1, 2, 3);
        auxSolidSphere(1);
        myAuxSolidCylinder(1, 2);
        myAuxSolidCone(1, 2);
        const float c[4] = {0.5f, 0.5f, 0.5f, 1};
        affecteMaterial(c, c, c, c, 10);
        popLumieres();
        popMaterial();
    };
    frame();  // the cache now holds both sizes
    muteGl(true);
    startCountingAllocations();
    for (int k = 0; k < 10; ++k) frame();
    const long allocations = stopCountingAllocations();
    muteGl(false);
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(shapeListCount(), 2u);
}

}  // namespace
