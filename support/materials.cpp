// Current material lives in the GL only; the stack holds saved front faces.
#include <GL/gl.h>

#include "GestionOpenGL.h"
#include "counted_stack.h"
#include "notices.h"
#include "support_internal.h"
#include "support/support_state.h"

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

// One face as the GL holds it, for putting it back bit for bit.
struct FaceMaterial {
    GLfloat colours[4][4];  // in the order of kColours
    GLfloat shininess;
};
constexpr GLenum kColours[4] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION};
constexpr GLenum kFaces[2] = {GL_FRONT, GL_BACK};

struct MaterialState {
    CountedStack<MaterialRecord, kCapacity> stack;
    FaceMaterial frameFaces[2];  // front and back when the frame was marked
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
    MaterialRecord* rec = pushEntry(state.stack);
    if (rec == nullptr) {
        noticeOnce(Notice::MaterialStackFull);
        return;
    }
    readFront(GL_DIFFUSE, rec->diffuse, 4);
    readFront(GL_AMBIENT, rec->ambient, 4);
    readFront(GL_SPECULAR, rec->specular, 4);
    readFront(GL_EMISSION, rec->emission, 4);
    readFront(GL_SHININESS, &rec->shininess, 1);
}

void popMaterial() {
    const MaterialRecord* saved = nullptr;
    switch (popEntry(state.stack, saved)) {
        case Popped::NoPush: noticeOnce(Notice::MaterialStackEmpty); return;
        case Popped::Unsaved: return;
        case Popped::Saved: break;
    }
    const MaterialRecord& rec = *saved;
    writeBoth(GL_DIFFUSE, rec.diffuse);
    writeBoth(GL_AMBIENT, rec.ambient);
    writeBoth(GL_SPECULAR, rec.specular);
    writeBoth(GL_EMISSION, rec.emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, static_cast<GLfloat>(rec.shininess));
}

int materialStackDepth() { return state.stack.depth; }

// Both faces as they are: the first frame may start with a back face of its
// own, which a restore from the front alone would lose.
void markMaterialFrame() {
    for (int f = 0; f < 2; ++f) {
        FaceMaterial& face = state.frameFaces[f];
        for (int c = 0; c < 4; ++c) glGetMaterialfv(kFaces[f], kColours[c], face.colours[c]);
        glGetMaterialfv(kFaces[f], GL_SHININESS, &face.shininess);
    }
    state.frameDepth = state.stack.depth;
    state.frameMarked = true;
}

void restoreMaterialFrame() {
    if (!state.frameMarked) return;
    for (int f = 0; f < 2; ++f) {
        const FaceMaterial& face = state.frameFaces[f];
        for (int c = 0; c < 4; ++c) glMaterialfv(kFaces[f], kColours[c], face.colours[c]);
        glMaterialf(kFaces[f], GL_SHININESS, face.shininess);
    }
    state.stack.depth = state.frameDepth;
}

void forgetMaterials() {
    state.stack.depth = 0;
    state.frameDepth = 0;
    state.frameMarked = false;
}
