#include "call_recorder.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

namespace {

constexpr int kMaxCalls = 16384;

// Fixed storage: recording must not allocate, the allocation test relies
// on it.
struct RecorderState {
    bool on;
    bool muted;  // calls stop short of the GL
    int size;
    GlCall calls[kMaxCalls];
};
RecorderState state;

void record(const char* name, std::initializer_list<double> args) {
    if (!state.on || state.size >= kMaxCalls) return;
    GlCall& c = state.calls[state.size++];
    c.name = name;
    c.count = 0;
    for (double a : args)
        if (c.count < 6) c.arg[c.count++] = a;
}

void recordVector(const char* name, double lead, double lead2, const GLfloat* v, int n) {
    record(name, {lead, lead2, v[0], n > 1 ? v[1] : 0.0, n > 2 ? v[2] : 0.0, n > 3 ? v[3] : 0.0});
}

}  // namespace

void startRecording() {
    state.size = 0;
    state.on = true;
}
void stopRecording() { state.on = false; }
void muteGl(bool muted) { state.muted = muted; }
int recordedCount() { return state.size; }
const GlCall& recorded(int k) { return state.calls[k]; }

extern "C" {

void __real_glBegin(GLenum);
void __real_glEnd();
void __real_glNormal3f(GLfloat, GLfloat, GLfloat);
void __real_glNormal3d(GLdouble, GLdouble, GLdouble);
void __real_glNormal3dv(const GLdouble*);
void __real_glVertex3d(GLdouble, GLdouble, GLdouble);
void __real_glVertex3dv(const GLdouble*);
void __real_glCallList(GLuint);
void __real_glNewList(GLuint, GLenum);
void __real_glEndList();
void __real_gluSphere(GLUquadric*, GLdouble, GLint, GLint);
void __real_gluQuadricDrawStyle(GLUquadric*, GLenum);
void __real_gluQuadricNormals(GLUquadric*, GLenum);
void __real_glLightfv(GLenum, GLenum, const GLfloat*);
void __real_glLightf(GLenum, GLenum, GLfloat);
void __real_glLighti(GLenum, GLenum, GLint);
void __real_glEnable(GLenum);
void __real_glDisable(GLenum);
void __real_glPushMatrix();
void __real_glPopMatrix();
void __real_glLoadMatrixf(const GLfloat*);

void __wrap_glBegin(GLenum m) {
    record("glBegin", {double(m)});
    if (!state.muted) __real_glBegin(m);
}
void __wrap_glEnd() {
    record("glEnd", {});
    if (!state.muted) __real_glEnd();
}
void __wrap_glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    record("glNormal3f", {x, y, z});
    if (!state.muted) __real_glNormal3f(x, y, z);
}
void __wrap_glNormal3d(GLdouble x, GLdouble y, GLdouble z) {
    record("glNormal3d", {x, y, z});
    if (!state.muted) __real_glNormal3d(x, y, z);
}
void __wrap_glNormal3dv(const GLdouble* v) {
    record("glNormal3dv", {v[0], v[1], v[2]});
    if (!state.muted) __real_glNormal3dv(v);
}
void __wrap_glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    record("glVertex3d", {x, y, z});
    if (!state.muted) __real_glVertex3d(x, y, z);
}
void __wrap_glVertex3dv(const GLdouble* v) {
    record("glVertex3dv", {v[0], v[1], v[2]});
    if (!state.muted) __real_glVertex3dv(v);
}
void __wrap_glCallList(GLuint l) {
    record("glCallList", {double(l)});
    if (!state.muted) __real_glCallList(l);
}
void __wrap_glNewList(GLuint l, GLenum m) {
    record("glNewList", {double(l), double(m)});
    if (!state.muted) __real_glNewList(l, m);
}
void __wrap_glEndList() {
    record("glEndList", {});
    if (!state.muted) __real_glEndList();
}
void __wrap_gluSphere(GLUquadric* q, GLdouble r, GLint slices, GLint stacks) {
    record("gluSphere", {r, double(slices), double(stacks)});
    if (!state.muted) __real_gluSphere(q, r, slices, stacks);
}
void __wrap_gluQuadricDrawStyle(GLUquadric* q, GLenum s) {
    record("gluQuadricDrawStyle", {double(s)});
    if (!state.muted) __real_gluQuadricDrawStyle(q, s);
}
void __wrap_gluQuadricNormals(GLUquadric* q, GLenum n) {
    record("gluQuadricNormals", {double(n)});
    if (!state.muted) __real_gluQuadricNormals(q, n);
}
void __wrap_glLightfv(GLenum l, GLenum p, const GLfloat* v) {
    recordVector("glLightfv", l, p, v, p == GL_SPOT_DIRECTION ? 3 : 4);
    if (!state.muted) __real_glLightfv(l, p, v);
}
void __wrap_glLightf(GLenum l, GLenum p, GLfloat v) {
    record("glLightf", {double(l), double(p), v});
    if (!state.muted) __real_glLightf(l, p, v);
}
void __wrap_glLighti(GLenum l, GLenum p, GLint v) {
    record("glLighti", {double(l), double(p), double(v)});
    if (!state.muted) __real_glLighti(l, p, v);
}
void __wrap_glEnable(GLenum c) {
    record("glEnable", {double(c)});
    if (!state.muted) __real_glEnable(c);
}
void __wrap_glDisable(GLenum c) {
    record("glDisable", {double(c)});
    if (!state.muted) __real_glDisable(c);
}
void __wrap_glPushMatrix() {
    record("glPushMatrix", {});
    if (!state.muted) __real_glPushMatrix();
}
void __wrap_glPopMatrix() {
    record("glPopMatrix", {});
    if (!state.muted) __real_glPopMatrix();
}
void __wrap_glLoadMatrixf(const GLfloat* m) {
    record("glLoadMatrixf", {m[0], m[5], m[10], m[12], m[13], m[14]});
    if (!state.muted) __real_glLoadMatrixf(m);
}

}  // extern "C"
