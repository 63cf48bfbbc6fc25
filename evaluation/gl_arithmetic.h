// Mesa's own float arithmetic for the modelview matrix and the lights it
// places, step for step, so that what is worked out here is bit for bit
// what the GL holds (Mesa 22, no fused multiply-add). Not part of the face.
#pragma once

// A modelview matrix, column-major, and how Mesa would multiply into it
// next: in full 4 x 4 after a glLoadMatrixf, until the GL next examines the
// matrix (a spot direction set, a draw); 3 x 4 otherwise. The two differ
// only in the sign of zeros.
struct GlMatrix {
    float m[16];
    bool general;
};

void loadIdentity(GlMatrix& mat);
void translate(GlMatrix& mat, float x, float y, float z);            // glTranslatef
void rotate(GlMatrix& mat, float angle, float x, float y, float z);  // glRotatef
void scale(GlMatrix& mat, float x, float y, float z);                // glScalef

// glLightfv(GL_POSITION) and glLightfv(GL_SPOT_DIRECTION) under m.
void transformPoint(const float* m, const float in[4], float out[4]);
void transformDirection(const float* m, const float in[3], float out[3]);
