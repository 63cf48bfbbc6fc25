// Cylinder and cone: sent afresh every call, ring points scaled on the fly.
#include <GL/gl.h>

#include "GestionOpenGL.h"
#include "ring.h"

namespace {

constexpr int kSegments = kRingPoints - 1;

void capOrBase(const Ring& r, double radius, double y, GLfloat normalY) {
    glBegin(GL_POLYGON);
    glNormal3f(0, normalY, 0);
    for (int i = 0; i < kSegments; ++i) glVertex3d(radius * r.cosine[i], y, radius * r.sine[i]);
    glEnd();
}

// One quad per segment: top i, top i + 1, bottom i + 1, bottom i, each with
// its own horizontal normal. A cone's top vertices are all the apex.
void sides(const Ring& r, double radius, double h, bool apex) {
    glBegin(GL_QUADS);
    for (int i = 0; i < kSegments; ++i) {
        const int j = i + 1;
        glNormal3d(r.cosine[i], 0, r.sine[i]);
        glVertex3d(apex ? 0.0 : radius * r.cosine[i], h, apex ? 0.0 : radius * r.sine[i]);
        glNormal3d(r.cosine[j], 0, r.sine[j]);
        glVertex3d(apex ? 0.0 : radius * r.cosine[j], h, apex ? 0.0 : radius * r.sine[j]);
        glVertex3d(radius * r.cosine[j], -h, radius * r.sine[j]);
        glNormal3d(r.cosine[i], 0, r.sine[i]);
        glVertex3d(radius * r.cosine[i], -h, radius * r.sine[i]);
    }
    glEnd();
}

}  // namespace

void myAuxSolidCylinder(double radius, double height) {
    const Ring& r = ring();
    const double h = height / 2;
    capOrBase(r, radius, h, 1);
    capOrBase(r, radius, -h, -1);
    sides(r, radius, h, false);
}

void myAuxSolidCone(double radius, double height) {
    const Ring& r = ring();
    const double h = height / 2;
    capOrBase(r, radius, -h, -1);
    sides(r, radius, h, true);
}
