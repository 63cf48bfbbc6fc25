// One light as it was added, and the GL calls that set a light up.
#ifndef MIROVAN_SUPPORT_LIGHT_RECORD_H
#define MIROVAN_SUPPORT_LIGHT_RECORD_H

#include <GL/gl.h>

// Kinds share the scene keyword codes.
constexpr int kPointLight = 11;
constexpr int kDirLight = 12;
constexpr int kSpotLight = 13;

// Doubles are widened from the float arguments, so narrowing gives them back.
struct LightRecord {
    int kind;
    GLfloat modelview[16];  // column-major, as glGetFloatv gives it
    double position[3];     // directional light: the direction negated
    double spotDirection[3];
    double intensity;
    double colour[3];  // not multiplied by the intensity
    double cutOff;     // degrees, fraction kept
};

// Everything but the enable, for a light being added under the current
// modelview. A spot's cut-off goes in truncated to an integer.
void sendNewLight(GLenum light, const GLfloat colour[4], const GLfloat position[4],
                  const GLfloat direction[3], int kind, float cutOff);

// Rebuilds GL light k from its record under the record's own matrix.
void applyLightRecord(int k, const LightRecord& rec);

// GL's initial light 0, placed under the current modelview.
void applyDefaultLight();

#endif
