// The current light set and the stack of saved sets.
#include "GestionOpenGL.h"
#include "counted_stack.h"
#include "light_record.h"
#include "notices.h"
#include "support_internal.h"
#include "support/support_state.h"

namespace {

constexpr int kMaxLights = 8;
constexpr int kCapacity = 50;

struct LightSet {
    int lightCount;
    LightRecord lights[kMaxLights];  // slot k drives GL_LIGHT0 + k
};

struct LightState {
    LightSet current;
    CountedStack<LightSet, kCapacity> stack;
    LightSet frameSet;
    int frameDepth;
    bool frameMarked;
};
LightState state;

void addLight(int kind, float r, float v, float b, const GLfloat position[4],
              const GLfloat direction[3], float i, float cutOff) {
    const int n = state.current.lightCount;
    if (n >= kMaxLights) {
        noticeOnce(Notice::LightSetFull);
        return;
    }
    const GLenum light = GL_LIGHT0 + n;
    const GLfloat colour[4] = {r * i, v * i, b * i, 1};
    sendNewLight(light, colour, position, direction, kind, cutOff);

    LightRecord& rec = state.current.lights[n];
    glGetFloatv(GL_MODELVIEW_MATRIX, rec.modelview);
    rec.kind = kind;
    for (int k = 0; k < 3; ++k) {
        rec.position[k] = position[k];
        // Point and directional lights keep the direction and cut-off they were
        // sent with, so re-applying them restores exactly the same GL state.
        rec.spotDirection[k] = direction[k];
    }
    rec.cutOff = kind == kSpotLight ? cutOff : 180.0;
    rec.intensity = i;
    rec.colour[0] = r;
    rec.colour[1] = v;
    rec.colour[2] = b;
    state.current.lightCount = n + 1;
    glEnable(light);
}

// Makes the GL lights those of the current set, as a pop does.
void applyCurrentSet() {
    const int count = state.current.lightCount;
    int k = 0;
    if (count == 0) {
        applyDefaultLight();
        k = 1;
    } else {
        for (; k < count; ++k) applyLightRecord(k, state.current.lights[k]);
    }
    for (; k < kMaxLights; ++k) glDisable(GL_LIGHT0 + k);
}

}  // namespace

void affectePointLight(float r, float v, float b, float x, float y, float z, float i) {
    const GLfloat position[4] = {x, y, z, 1};
    const GLfloat direction[3] = {0, 0, -1};
    addLight(kPointLight, r, v, b, position, direction, i, 180);
}

void affecteDirLight(float r, float v, float b, float dx, float dy, float dz, float i) {
    // The GL wants the direction towards the light, not the one it travels.
    const GLfloat position[4] = {-dx, -dy, -dz, 0};
    const GLfloat direction[3] = {0, 0, -1};
    addLight(kDirLight, r, v, b, position, direction, i, 180);
}

void affecteSpotLight(float r, float v, float b, float x, float y, float z, float dx, float dy,
                      float dz, float i, float o) {
    const GLfloat position[4] = {x, y, z, 1};
    const GLfloat direction[3] = {dx, dy, dz};
    addLight(kSpotLight, r, v, b, position, direction, i, o);
}

void pushLumieres() {
    LightSet* saved = pushEntry(state.stack);
    if (saved == nullptr)
        noticeOnce(Notice::LightStackFull);
    else
        *saved = state.current;
}

void popLumieres() {
    const LightSet* saved = nullptr;
    switch (popEntry(state.stack, saved)) {
        case Popped::NoPush: noticeOnce(Notice::LightStackEmpty); return;
        case Popped::Unsaved: return;
        case Popped::Saved: break;
    }
    state.current = *saved;
    applyCurrentSet();
}

int lightStackDepth() { return state.stack.depth; }
int currentLightCount() { return state.current.lightCount; }

void markLightFrame() {
    state.frameSet = state.current;
    state.frameDepth = state.stack.depth;
    state.frameMarked = true;
}

void restoreLightFrame() {
    if (!state.frameMarked) return;
    state.current = state.frameSet;
    state.stack.depth = state.frameDepth;
    applyCurrentSet();
}

void forgetLights() {
    state.current.lightCount = 0;
    state.stack.depth = 0;
    state.frameDepth = 0;
    state.frameMarked = false;
}
