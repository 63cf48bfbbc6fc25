// Box and sphere: compiled once per size into a display list, then replayed
// while frames keep using it (shape_cache.h bounds how many are held).
#include <GL/gl.h>
#include <GL/glu.h>

#include <utility>

#include "GestionOpenGL.h"
#include "shape_cache.h"

namespace {

void drawBoxFaces(double x0, double x1, double y0, double y1, double z0, double z1,
                  GLenum primitive) {
    // A negative size draws the same box as its absolute value.
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    if (z0 > z1) std::swap(z0, z1);
    const GLdouble corner[8][3] = {
        {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0},
        {x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0},
    };
    static const GLdouble normal[6][3] = {
        {-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1},
    };
    static const int face[6][4] = {
        {0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3},
    };
    for (int f = 0; f < 6; ++f) {
        glBegin(primitive);
        for (int k = 0; k < 4; ++k) {
            glNormal3dv(normal[f]);
            glVertex3dv(corner[face[f][k]]);
        }
        glEnd();
    }
}

// Inside another list's compilation no new list can be opened; the shape
// then goes straight into that list uncached, since caching it would keep
// an empty list for good.
bool compilingList() {
    GLint open = 0;
    glGetIntegerv(GL_LIST_INDEX, &open);
    return open != 0;
}

enum class Outcome { Replayed, Compiling, Passing, DrawDirect };

struct ListUse {
    Outcome outcome;
    GLuint list;
};

// Replays the cached list, or opens a new one for compiling: kept in the
// cache, or, when the cache is full, freed as soon as it was called. The
// list is drawn by calling it once compiled, not while compiling: Mesa
// shades the two paths differently, and the first frame must be every
// later one, whichever path a size takes.
ListUse replayOrOpen(int kind, const double* params, int count) {
    if (const GLuint list = findShapeList(kind, params, count)) {
        glCallList(list);
        return {Outcome::Replayed, list};
    }
    if (compilingList()) return {Outcome::DrawDirect, 0};
    Outcome outcome = Outcome::Compiling;
    GLuint list = addShapeList(kind, params, count);
    if (list == 0) {
        outcome = Outcome::Passing;
        list = glGenLists(1);
    }
    if (list == 0) return {Outcome::DrawDirect, 0};
    glNewList(list, GL_COMPILE);
    return {outcome, list};
}

void closeAndCall(const ListUse& use) {
    if (use.outcome != Outcome::Compiling && use.outcome != Outcome::Passing) return;
    glEndList();
    glCallList(use.list);
    if (use.outcome == Outcome::Passing) glDeleteLists(use.list, 1);
}

}  // namespace

void auxSolidBox(double width, double height, double depth) {
    const double size[3] = {width, height, depth};
    const ListUse use = replayOrOpen(kBoxShape, size, 3);
    if (use.outcome == Outcome::Replayed) return;
    drawBoxFaces(width * -0.5, width * 0.5, height * -0.5, height * 0.5, depth * -0.5, depth * 0.5,
                 GL_QUADS);
    closeAndCall(use);
}

void auxSolidSphere(double radius) {
    const ListUse use = replayOrOpen(kSphereShape, &radius, 1);
    if (use.outcome == Outcome::Replayed) return;
    if (GLUquadric* quadric = gluNewQuadric()) {
        gluQuadricDrawStyle(quadric, GLU_FILL);
        gluQuadricNormals(quadric, GLU_SMOOTH);
        gluSphere(quadric, radius, 16, 16);
        gluDeleteQuadric(quadric);
    }
    closeAndCall(use);
}
