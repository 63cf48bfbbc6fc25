#include "support/modelview_stack.h"

#include <GL/gl.h>

#include "counted_stack.h"
#include "support_internal.h"

namespace {

constexpr int kCapacity = 50;

struct Matrix {
    GLfloat m[16];
};

struct ModelviewState {
    // Pushes made while the GL's stack had no room; once one is open, the
    // pushes inside it land here too, so pops unwind in the right order.
    CountedStack<Matrix, kCapacity> overflow;
};
ModelviewState state;

// popLumieres pushes once more while it re-applies a light under its own
// matrix: that last entry of the GL's stack is left free for it.
bool glStackHasRoom() {
    GLint depth = 0, most = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &most);
    return depth + 1 < most;
}

}  // namespace

void pushModelview() {
    if (state.overflow.depth == 0 && glStackHasRoom()) {
        glPushMatrix();
        return;
    }
    if (Matrix* saved = pushEntry(state.overflow)) glGetFloatv(GL_MODELVIEW_MATRIX, saved->m);
}

void popModelview() {
    const Matrix* saved = nullptr;
    switch (popEntry(state.overflow, saved)) {
        case Popped::NoPush: glPopMatrix(); break;
        case Popped::Unsaved: break;  // beyond every stack: the matrix stays
        case Popped::Saved: glLoadMatrixf(saved->m); break;
    }
}

void forgetModelviews() { state.overflow.depth = 0; }
