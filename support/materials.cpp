// Current material lives in the GL only; the stack holds saved front faces.
#include <GL/gl.h>

#include <climits>

#include "GestionOpenGL.h"
#include "notices.h"
#include "support_internal.h"
#include "support_state.h"

namespace {

constexpr int kCapacity = 50;

// Floats as the GL reports them, widened; narrowing gives them back exactly.
struct MaterialRecord {
    double diffuse[4];
    double ambient[4];
    double specular[4];
    double emission[4];
    double shininess;
};

struct MaterialState {
    MaterialRecord stack[kCapacity];
    // Pushes past the capacity are counted but not saved, so every pop still
    // finds its own push.
    int depth;
    int frameDepth;
    bool frameMarked;
};
MaterialState state;

void readFront(GLenum pname, double* out, int n) {
    GLfloat buf[4] = {0, 0, 0, 0};
    glGetMaterialfv(GL_FRONT, pname, buf);
    for (int k = 0; k < n; ++k) out[k] = buf[k];
}

void writeBoth(GLenum pname, const double* in) {
    const GLfloat buf[4] = {static_cast<GLfloat>(in[0]), static_cast<GLfloat>(in[1]),
                            static_cast<GLfloat>(in[2]), static_cast<GLfloat>(in[3])};
    glMaterialfv(GL_FRONT_AND_BACK, pname, buf);
}

}  // namespace

void affecteMaterial(const float* ma, const float* md, const float* me, const float* ms,
                     float ref) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ma);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, md);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, me);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, ms);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, ref);
}

void pushMaterial() {
    if (state.depth >= kCapacity) {
        noticeOnce(Notice::MaterialStackFull);
        if (state.depth < INT_MAX) ++state.depth;
        return;
    }
    MaterialRecord& rec = state.stack[state.depth];
    readFront(GL_DIFFUSE, rec.diffuse, 4);
    readFront(GL_AMBIENT, rec.ambient, 4);
    readFront(GL_SPECULAR, rec.specular, 4);
    readFront(GL_EMISSION, rec.emission, 4);
    readFront(GL_SHININESS, &rec.shininess, 1);
    ++state.depth;
}

void popMaterial() {
    if (state.depth <= 0) {
        noticeOnce(Notice::MaterialStackEmpty);
        return;
    }
    --state.depth;
    if (state.depth >= kCapacity) return;  // its push was never saved
    const MaterialRecord& rec = state.stack[state.depth];
    writeBoth(GL_DIFFUSE, rec.diffuse);
    writeBoth(GL_AMBIENT, rec.ambient);
    writeBoth(GL_SPECULAR, rec.specular);
    writeBoth(GL_EMISSION, rec.emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, static_cast<GLfloat>(rec.shininess));
}

int materialStackDepth() { return state.depth; }

void markMaterialFrame() {
    state.frameDepth = state.depth;
    state.frameMarked = true;
}

void restoreMaterialFrame() {
    if (state.frameMarked) state.depth = state.frameDepth;
}

void forgetMaterials() {
    state.depth = 0;
    state.frameDepth = 0;
    state.frameMarked = false;
}
