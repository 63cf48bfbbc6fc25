#include "light_record.h"

namespace {

const GLfloat kNoAmbient[4] = {0, 0, 0, 1};
const GLfloat kDownZ[3] = {0, 0, -1};

// What every light sends first, in this order, whichever way it is set.
void sendColourAndPlace(GLenum light, const GLfloat colour[4], const GLfloat position[4],
                        const GLfloat direction[3]) {
    glLightfv(light, GL_AMBIENT, kNoAmbient);
    glLightfv(light, GL_DIFFUSE, colour);
    glLightfv(light, GL_SPECULAR, colour);
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glLightf(light, GL_SPOT_EXPONENT, 0);
}

void sendFixedTerms(GLenum light) {
    glLightf(light, GL_CONSTANT_ATTENUATION, 1);
    glLightf(light, GL_LINEAR_ATTENUATION, 0);
    glLightf(light, GL_QUADRATIC_ATTENUATION, 0);
}

// Converting NaN or a float beyond int range is undefined; the GL refuses
// any such cut-off, just as it refuses -1.
GLint truncatedCutOff(float o) {
    if (!(o > -2147483648.0f && o < 2147483648.0f)) return -1;
    return static_cast<GLint>(o);
}

}  // namespace

void sendNewLight(GLenum light, const GLfloat colour[4], const GLfloat position[4],
                  const GLfloat direction[3], int kind, float cutOff) {
    sendColourAndPlace(light, colour, position, direction);
    if (kind == kSpotLight)
        glLighti(light, GL_SPOT_CUTOFF, truncatedCutOff(cutOff));
    else
        glLightf(light, GL_SPOT_CUTOFF, 180);
    sendFixedTerms(light);
}

void applyLightRecord(int k, const LightRecord& rec) {
    const GLenum light = GL_LIGHT0 + k;
    // A double product of two floats is exact, so rounding it gives the very
    // float the light was added with.
    const GLfloat colour[4] = {static_cast<GLfloat>(rec.intensity * rec.colour[0]),
                               static_cast<GLfloat>(rec.intensity * rec.colour[1]),
                               static_cast<GLfloat>(rec.intensity * rec.colour[2]), 1};
    const GLfloat position[4] = {
        static_cast<GLfloat>(rec.position[0]), static_cast<GLfloat>(rec.position[1]),
        static_cast<GLfloat>(rec.position[2]), rec.kind == kDirLight ? 0.0f : 1.0f};
    const GLfloat direction[3] = {static_cast<GLfloat>(rec.spotDirection[0]),
                                  static_cast<GLfloat>(rec.spotDirection[1]),
                                  static_cast<GLfloat>(rec.spotDirection[2])};
    glPushMatrix();
    glLoadMatrixf(rec.modelview);
    sendColourAndPlace(light, colour, position, direction);
    glLightf(light, GL_SPOT_CUTOFF,
             rec.kind == kSpotLight ? static_cast<GLfloat>(rec.cutOff) : 180.0f);
    sendFixedTerms(light);
    glPopMatrix();
    glEnable(light);
}

void applyDefaultLight() {
    static const GLfloat kWhite[4] = {1, 1, 1, 1};
    static const GLfloat kAlongZ[4] = {0, 0, 1, 0};
    sendColourAndPlace(GL_LIGHT0, kWhite, kAlongZ, kDownZ);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180);
    sendFixedTerms(GL_LIGHT0);
    glEnable(GL_LIGHT0);
}
