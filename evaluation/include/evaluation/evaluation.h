// What a scene means, statement by statement: the state the window's GL holds
// when each solid is drawn, worked out without a GL. The page and glTF
// exports read scenes through this one evaluation, so they agree with the
// window and with each other.
//
// Using it
//   startEvaluation(), then evaluateStatement() for every statement the
//   reader gives (read in NumberPrecision::Mixed, as the window reads them,
//   unrecognised tokens and unmatched Pops included), in order. Each call
//   says what the statement did; the state it leaves is read through the
//   accessors below until the next call. Process-wide, one scene at a time.
//
// Frames
//   Matrices are the modelview the GL holds before the view rotation: the
//   window computes rotation x angleX, rotation y angleY, then the scene's
//   transforms, so a point p of a solid lands in eye space at
//   Rx(angleX) * Ry(angleY) * modelview * p. Light positions and spot
//   directions are given as the GL holds them once transformed, in the same
//   frame ("turnsWithView"), except for the light the frame starts with,
//   which was placed before any rotation and stays fixed to the eye.
//
// What the window does that a reader would not guess, and this follows
//   - every frame starts from the GL's initial material and the initial
//     light 0 (white, directional along -z of the eye), no other light;
//   - a light takes the next free unit of the current set; a ninth is
//     ignored; a spot's cut-off is truncated to whole degrees when the light
//     is added and kept whole when a Pop re-applies it; a cut-off the GL
//     refuses (outside 0..90 and not 180) leaves the unit's previous one, as
//     a shininess outside 0..128 leaves the previous shininess;
//   - a Pop re-applies the saved lights under their own matrices and turns
//     the other units off; a Pop back to an empty set places the initial
//     light again under the modelview current at the Pop (so that one turns
//     with the view);
//   - the material and light stacks hold 50 entries: a Push beyond that is
//     counted but saves nothing, and its Pop restores nothing; the matrix
//     goes on the GL's own stack for 29 levels (the frame holds 2 of its
//     32, and one stays free for a Pop's lights), then on the support
//     module's 50: from level 80 on a Pop leaves the matrix as it is; a Pop
//     with no open Push does nothing;
//   - numbers that are not finite were read as 0 already.
// This is the window's first frame. Later frames start the same, except
// that the units that are off keep what the frame before left in them, so
// there a refused cut-off can keep another frame's value.
#pragma once

#include <cstdint>

#include "scene/scene.h"

// A material as the GL holds it, the same on both faces.
struct EvalMaterial {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float emission[4];
    float shininess;
};

// One of the GL's eight light units as it stands when a solid is drawn.
struct EvalLight {
    bool enabled;
    bool turnsWithView;  // false: position and direction are fixed to the eye
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float position[4];       // GL_POSITION: transformed, w kept (0: directional)
    float spotDirection[3];  // GL_SPOT_DIRECTION: transformed by the upper 3 x 3
    float spotExponent;
    float spotCutoff;      // degrees, 180 for no cone
    float attenuation[3];  // constant, linear, quadratic
};

struct EvalLights {
    EvalLight units[8];  // GL_LIGHT0 + k
};

struct EvalSolid {
    StatementKind kind;      // Cube, Sphere, Cylindre or Cone
    double size[3];          // width height depth; radius; radius height
    float modelview[16];     // column-major, before the view rotation
    std::uint32_t material;  // the materialVersion() it is drawn with
    std::uint32_t lights;    // the lightsVersion() it is drawn with
    int depth;               // groups open around it
};

// A light as the scene added it, for exports that place lights on nodes.
struct EvalAddedLight {
    StatementKind kind;   // Pointlight, Dirlight or Spotlight
    int unit;             // the GL light unit it took
    float modelview[16];  // the matrix it was placed under
    float position[4];    // as given: point and spot (x y z 1), directional (-dx -dy -dz 0)
    float direction[3];   // spot light: as given; others (0 0 -1)
    float colour[3];      // as given, not multiplied by the intensity
    float intensity;
    float cutOff;  // degrees as given; 180 for point and directional lights
};

enum class EvalStep {
    None,         // an unrecognised token, an unmatched Pop, an ignored ninth light
    Solid,        // lastSolid()
    GroupOpened,  // a Push: openGroups() is one more; currentModelview() is the group's frame
    GroupClosed,  // a Pop that closed a group
    Transformed,  // Translation, Rotation, Zoom
    MaterialSet,  // Material
    LightAdded,   // lastLight()
};

void startEvaluation();
EvalStep evaluateStatement(const SceneStatement& statement);

const EvalSolid& lastSolid();
const EvalAddedLight& lastLight();
const float* currentModelview();  // 16 floats, column-major
int openGroups();
// Both versions change whenever the state they name may have changed; equal
// versions mean equal state. They start at 0 with the frame's initial state.
std::uint32_t materialVersion();
std::uint32_t lightsVersion();
const EvalMaterial& currentMaterial();
const EvalLights& currentLights();
// True once the scene added a light that took effect.
bool sceneAddedLights();
