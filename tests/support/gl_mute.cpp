#include "gl_mute.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

struct MuteState {
    bool muted;
};
MuteState state;

}  // namespace

void muteGl(bool muted) { state.muted = muted; }

// __wrap_f forwards to the real f unless muted.
#define MUTABLE(name, params, args)           \
    void __real_##name params;                \
    void __wrap_##name params {               \
        if (!state.muted) __real_##name args; \
    }

extern "C" {
MUTABLE(glBegin, (GLenum m), (m))
MUTABLE(glEnd, (), ())
MUTABLE(glNormal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
MUTABLE(glNormal3d, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))
MUTABLE(glNormal3dv, (const GLdouble* v), (v))
MUTABLE(glVertex3d, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))
MUTABLE(glVertex3dv, (const GLdouble* v), (v))
MUTABLE(glCallList, (GLuint l), (l))
MUTABLE(glNewList, (GLuint l, GLenum m), (l, m))
MUTABLE(glEndList, (), ())
MUTABLE(gluSphere, (GLUquadric * q, GLdouble r, GLint slices, GLint stacks), (q, r, slices, stacks))
MUTABLE(glLightfv, (GLenum l, GLenum p, const GLfloat* v), (l, p, v))
MUTABLE(glLightf, (GLenum l, GLenum p, GLfloat v), (l, p, v))
MUTABLE(glLighti, (GLenum l, GLenum p, GLint v), (l, p, v))
}
