// The window's GL state, statement by statement: the screen interpreter's
// calls (viewer/interpreter.cpp) into the support module (support/), and
// what the GL does with them, played here without a GL.
#include "evaluation/evaluation.h"

#include <climits>
#include <cstring>

#include "gl_arithmetic.h"

namespace {

constexpr int kUnits = 8;
constexpr int kCapacity = 50;  // the support module's material, light and matrix stacks
// Mesa's modelview stack, and the entries in use when the scene starts: the
// projection set-up's identity and the frame's push for the view.
constexpr int kGlStackDepth = 32;
constexpr int kFrameDepth = 2;

// A light as the support module records it (support/light_record.h).
struct LightRecord {
    StatementKind kind;
    float modelview[16];
    float colour[4];  // intensity times colour
    float position[4];
    float direction[3];
    float cutOff;  // whole, as given
};

struct LightSet {
    int count;
    LightRecord lights[kUnits];
};

// Pushes beyond the capacity are counted so their Pops still pair up.
struct Depths {
    int pushes;  // saved or not
    bool push() {
        const bool saved = pushes < kCapacity;
        if (pushes < INT_MAX) ++pushes;
        return saved;
    }
};

struct EvaluationState {
    GlMatrix glStack[kGlStackDepth];
    int glDepth;
    float overflow[kCapacity][16];  // support/modelview_stack.cpp
    Depths overflowDepth;

    EvalMaterial material;
    EvalMaterial materialStack[kCapacity];
    Depths materialDepth;

    EvalLights units;
    LightSet set;
    LightSet lightStack[kCapacity];
    Depths lightDepth;

    int openPushes;
    std::uint32_t materialVersion;
    std::uint32_t lightsVersion;
    bool sceneAddedLights;
    EvalSolid solid;
    EvalAddedLight light;
};
EvaluationState state;

GlMatrix& top() { return state.glStack[state.glDepth - 1]; }

// --- The material (support/materials.cpp) ---

const EvalMaterial kInitialMaterial = {
    {0.2f, 0.2f, 0.2f, 1}, {0.8f, 0.8f, 0.8f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};

void setMaterial(const double* v) {
    EvalMaterial& m = state.material;
    for (int k = 0; k < 3; ++k) {
        m.diffuse[k] = static_cast<float>(v[k]);
        m.ambient[k] = static_cast<float>(v[3 + k]);
        m.specular[k] = static_cast<float>(v[6 + k]);
        m.emission[k] = static_cast<float>(v[9 + k]);
    }
    m.diffuse[3] = m.ambient[3] = m.specular[3] = m.emission[3] = 1;
    const float shininess = static_cast<float>(v[12]);
    if (!(shininess < 0 || shininess > 128)) m.shininess = shininess;  // else refused
    ++state.materialVersion;
}

// --- The light units (support/light_gl.cpp, lights.cpp) ---

void placeLight(EvalLight& unit, const float* modelview, const float colour[4],
                const float position[4], const float direction[3]) {
    static const float kNoAmbient[4] = {0, 0, 0, 1};
    std::memcpy(unit.ambient, kNoAmbient, sizeof kNoAmbient);
    std::memcpy(unit.diffuse, colour, sizeof unit.diffuse);
    std::memcpy(unit.specular, colour, sizeof unit.specular);
    transformPoint(modelview, position, unit.position);
    transformDirection(modelview, direction, unit.spotDirection);
    unit.spotExponent = 0;
}

// glLightf(GL_SPOT_CUTOFF): the GL keeps its value for one it refuses.
void setCutOff(EvalLight& unit, float cutOff) {
    if (cutOff < 0 || (cutOff > 90 && cutOff != 180)) return;
    unit.spotCutoff = cutOff;
}

void finishLight(EvalLight& unit) {
    unit.attenuation[0] = 1;
    unit.attenuation[1] = unit.attenuation[2] = 0;
    unit.enabled = true;
    unit.turnsWithView = true;
}

const float kDownZ[3] = {0, 0, -1};

// GL light 0's initial values; `enabled` and where it stands set by the caller.
EvalLight initialLight(bool white) {
    EvalLight l{};
    const float c = white ? 1.0f : 0.0f;
    const float colour[4] = {c, c, c, 1};
    l.ambient[3] = 1;
    std::memcpy(l.diffuse, colour, sizeof colour);
    std::memcpy(l.specular, colour, sizeof colour);
    l.position[2] = 1;
    std::memcpy(l.spotDirection, kDownZ, sizeof kDownZ);
    l.spotCutoff = 180;
    l.attenuation[0] = 1;
    return l;
}

void applyDefaultLight() {
    static const float kWhite[4] = {1, 1, 1, 1};
    static const float kAlongZ[4] = {0, 0, 1, 0};
    EvalLight& unit = state.units.units[0];
    placeLight(unit, top().m, kWhite, kAlongZ, kDownZ);
    top().general = false;  // the GL examines the matrix for a spot direction
    setCutOff(unit, 180);
    finishLight(unit);
}

// Under the record's own matrix: the current one is left as it was.
void applyLightRecord(int k, const LightRecord& rec) {
    EvalLight& unit = state.units.units[k];
    placeLight(unit, rec.modelview, rec.colour, rec.position, rec.direction);
    setCutOff(unit, rec.kind == StatementKind::Spotlight ? rec.cutOff : 180.0f);
    finishLight(unit);
}

void applyCurrentSet() {
    int k = 0;
    if (state.set.count == 0) {
        applyDefaultLight();
        k = 1;
    } else {
        for (; k < state.set.count; ++k) applyLightRecord(k, state.set.lights[k]);
    }
    for (; k < kUnits; ++k) state.units.units[k].enabled = false;
}

// A spot's cut-off goes to the GL as an integer when the light is added.
float truncatedCutOff(float o) {
    if (!(o > -2147483648.0f && o < 2147483648.0f)) return -1;
    return static_cast<float>(static_cast<int>(o));
}

bool addLight(StatementKind kind, const float colour[3], float intensity, const float position[4],
              const float direction[3], float cutOff) {
    const int n = state.set.count;
    if (n >= kUnits) return false;  // a ninth light is ignored
    LightRecord& rec = state.set.lights[n];
    rec.kind = kind;
    std::memcpy(rec.modelview, top().m, sizeof rec.modelview);
    for (int k = 0; k < 3; ++k) rec.colour[k] = colour[k] * intensity;
    rec.colour[3] = 1;
    std::memcpy(rec.position, position, sizeof rec.position);
    std::memcpy(rec.direction, direction, sizeof rec.direction);
    rec.cutOff = kind == StatementKind::Spotlight ? cutOff : 180.0f;

    EvalLight& unit = state.units.units[n];
    placeLight(unit, rec.modelview, rec.colour, position, direction);
    top().general = false;
    setCutOff(unit, kind == StatementKind::Spotlight ? truncatedCutOff(cutOff) : 180.0f);
    finishLight(unit);
    state.set.count = n + 1;
    ++state.lightsVersion;
    state.sceneAddedLights = true;

    EvalAddedLight& added = state.light;
    added.kind = kind;
    added.unit = n;
    std::memcpy(added.modelview, rec.modelview, sizeof added.modelview);
    std::memcpy(added.position, position, sizeof added.position);
    std::memcpy(added.direction, direction, sizeof added.direction);
    std::memcpy(added.colour, colour, sizeof added.colour);
    added.intensity = intensity;
    added.cutOff = rec.cutOff;
    return true;
}

EvalStep light(const SceneStatement& s) {
    const double* v = s.values;
    auto f = [v](int k) { return static_cast<float>(v[k]); };
    float position[4] = {f(0), f(1), f(2), 1};
    float direction[3] = {0, 0, -1};
    int colourAt = 4, intensityAt = 3;
    float cutOff = 180;
    if (s.kind == StatementKind::Dirlight) {
        // The GL wants the way towards the light.
        position[0] = -f(0);
        position[1] = -f(1);
        position[2] = -f(2);
        position[3] = 0;
    } else if (s.kind == StatementKind::Spotlight) {
        direction[0] = f(3);
        direction[1] = f(4);
        direction[2] = f(5);
        intensityAt = 6;
        colourAt = 7;
        cutOff = f(10);
    }
    const float colour[3] = {f(colourAt), f(colourAt + 1), f(colourAt + 2)};
    return addLight(s.kind, colour, f(intensityAt), position, direction, cutOff)
               ? EvalStep::LightAdded
               : EvalStep::None;
}

// --- Push and Pop: material, lights, matrix, in the interpreter's order ---

void push() {
    if (state.openPushes < INT_MAX) ++state.openPushes;
    if (state.materialDepth.push())
        state.materialStack[state.materialDepth.pushes - 1] = state.material;
    if (state.lightDepth.push()) {
        LightSet& saved = state.lightStack[state.lightDepth.pushes - 1];
        saved.count = state.set.count;
        std::memcpy(saved.lights, state.set.lights, sizeof(LightRecord) * state.set.count);
    }
    // The GL's stack while it has room, one entry kept free for the lights'
    // own push at a Pop; then the support module's.
    if (state.overflowDepth.pushes == 0 && state.glDepth + 1 < kGlStackDepth) {
        state.glStack[state.glDepth] = top();
        ++state.glDepth;
    } else if (state.overflowDepth.push()) {
        std::memcpy(state.overflow[state.overflowDepth.pushes - 1], top().m, sizeof top().m);
    }
}

// Closes the innermost open push; true when that push saved an entry.
bool pop(Depths& depth) {
    --depth.pushes;
    return depth.pushes < kCapacity;
}

void popGroup() {
    --state.openPushes;
    if (state.overflowDepth.pushes == 0) {
        --state.glDepth;
    } else if (pop(state.overflowDepth)) {
        std::memcpy(top().m, state.overflow[state.overflowDepth.pushes], sizeof top().m);
        top().general = true;  // glLoadMatrixf
    }
    if (pop(state.lightDepth)) {
        const LightSet& saved = state.lightStack[state.lightDepth.pushes];
        state.set.count = saved.count;
        std::memcpy(state.set.lights, saved.lights, sizeof(LightRecord) * saved.count);
        applyCurrentSet();
        ++state.lightsVersion;
    }
    if (pop(state.materialDepth)) {
        state.material = state.materialStack[state.materialDepth.pushes];
        ++state.materialVersion;
    }
}

EvalStep solid(const SceneStatement& s) {
    EvalSolid& out = state.solid;
    out.kind = s.kind;
    const int sizes = s.kind == StatementKind::Cube ? 3 : s.kind == StatementKind::Sphere ? 1 : 2;
    for (int k = 0; k < 3; ++k) out.size[k] = k < sizes ? s.values[k] : 0;
    std::memcpy(out.modelview, top().m, sizeof out.modelview);
    top().general = false;  // the GL examines the matrix when it draws
    out.material = state.materialVersion;
    out.lights = state.lightsVersion;
    out.depth = state.openPushes;
    return EvalStep::Solid;
}

}  // namespace

void startEvaluation() {
    state.glDepth = kFrameDepth;
    for (int k = 0; k < kFrameDepth; ++k) loadIdentity(state.glStack[k]);
    state.overflowDepth = state.materialDepth = state.lightDepth = Depths{0};
    state.material = kInitialMaterial;
    // Light 0 as the GL starts it, fixed to the eye; the others off.
    for (int k = 0; k < kUnits; ++k) {
        state.units.units[k] = initialLight(k == 0);
        state.units.units[k].enabled = k == 0;
    }
    state.set.count = 0;
    state.openPushes = 0;
    state.materialVersion = state.lightsVersion = 0;
    state.sceneAddedLights = false;
    state.solid = EvalSolid{};
    state.light = EvalAddedLight{};
}

EvalStep evaluateStatement(const SceneStatement& s) {
    const double* v = s.values;
    auto f = [v](int k) { return static_cast<float>(v[k]); };
    switch (s.kind) {
        case StatementKind::Cube:
        case StatementKind::Sphere:
        case StatementKind::Cylindre:
        case StatementKind::Cone: return solid(s);
        case StatementKind::Translation:
            translate(top(), f(0), f(1), f(2));
            return EvalStep::Transformed;
        case StatementKind::Rotation:
            rotate(top(), f(0), f(1), f(2), f(3));
            return EvalStep::Transformed;
        case StatementKind::Zoom: scale(top(), f(0), f(1), f(2)); return EvalStep::Transformed;
        case StatementKind::Push: push(); return EvalStep::GroupOpened;
        case StatementKind::Pop:
            if (state.openPushes == 0) return EvalStep::None;  // the interpreter ignores it
            popGroup();
            return EvalStep::GroupClosed;
        case StatementKind::Material: setMaterial(v); return EvalStep::MaterialSet;
        case StatementKind::Pointlight:
        case StatementKind::Dirlight:
        case StatementKind::Spotlight: return light(s);
        case StatementKind::Unrecognised: break;
    }
    return EvalStep::None;
}

const EvalSolid& lastSolid() { return state.solid; }
const EvalAddedLight& lastLight() { return state.light; }
const float* currentModelview() { return top().m; }
int openGroups() { return state.openPushes; }
std::uint32_t materialVersion() { return state.materialVersion; }
std::uint32_t lightsVersion() { return state.lightsVersion; }
const EvalMaterial& currentMaterial() { return state.material; }
const EvalLights& currentLights() { return state.units; }
bool sceneAddedLights() { return state.sceneAddedLights; }
