// Found by comparing with glGetFloatv offscreen (tests/evaluation): the sine
// and cosine of a rotation are sinf and cosf of the angle in radians worked
// out in double, and every product and sum is rounded to float in the order
// written here.
#include "gl_arithmetic.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;

float& at(float* m, int row, int col) { return m[col * 4 + row]; }
float at(const float* m, int row, int col) { return m[col * 4 + row]; }

void multiply34(float* p, const float* a, const float* b) {
    for (int i = 0; i < 3; ++i) {
        const float a0 = at(a, i, 0), a1 = at(a, i, 1), a2 = at(a, i, 2), a3 = at(a, i, 3);
        for (int j = 0; j < 3; ++j)
            at(p, i, j) = a0 * at(b, 0, j) + a1 * at(b, 1, j) + a2 * at(b, 2, j);
        at(p, i, 3) = a0 * at(b, 0, 3) + a1 * at(b, 1, 3) + a2 * at(b, 2, 3) + a3;
    }
    at(p, 3, 0) = at(p, 3, 1) = at(p, 3, 2) = 0;
    at(p, 3, 3) = 1;
}

void multiply4(float* p, const float* a, const float* b) {
    for (int i = 0; i < 4; ++i) {
        const float a0 = at(a, i, 0), a1 = at(a, i, 1), a2 = at(a, i, 2), a3 = at(a, i, 3);
        for (int j = 0; j < 4; ++j)
            at(p, i, j) = a0 * at(b, 0, j) + a1 * at(b, 1, j) + a2 * at(b, 2, j) + a3 * at(b, 3, j);
    }
}

// The rotation matrix itself; false when the axis is too short to turn about.
bool rotation(float* r, float angle, float x, float y, float z) {
    const float s = std::sin(static_cast<float>(angle * kPi / 180.0));
    const float c = std::cos(static_cast<float>(angle * kPi / 180.0));
    for (int k = 0; k < 16; ++k) r[k] = k % 5 == 0 ? 1.0f : 0.0f;
    // About one axis only: the other entries stay exact.
    if (x == 0 && y == 0 && z != 0) {
        at(r, 0, 0) = at(r, 1, 1) = c;
        at(r, 0, 1) = z < 0 ? s : -s;
        at(r, 1, 0) = z < 0 ? -s : s;
        return true;
    }
    if (x == 0 && z == 0 && y != 0) {
        at(r, 0, 0) = at(r, 2, 2) = c;
        at(r, 0, 2) = y < 0 ? -s : s;
        at(r, 2, 0) = y < 0 ? s : -s;
        return true;
    }
    if (y == 0 && z == 0 && x != 0) {
        at(r, 1, 1) = at(r, 2, 2) = c;
        at(r, 1, 2) = x < 0 ? s : -s;
        at(r, 2, 1) = x < 0 ? -s : s;
        return true;
    }
    const float mag = std::sqrt(x * x + y * y + z * z);
    if (mag <= 1.0e-4f) return false;
    x /= mag;
    y /= mag;
    z /= mag;
    const float xx = x * x, yy = y * y, zz = z * z, xy = x * y, yz = y * z, zx = z * x;
    const float xs = x * s, ys = y * s, zs = z * s, oneC = 1.0f - c;
    at(r, 0, 0) = (oneC * xx) + c;
    at(r, 0, 1) = (oneC * xy) - zs;
    at(r, 0, 2) = (oneC * zx) + ys;
    at(r, 1, 0) = (oneC * xy) + zs;
    at(r, 1, 1) = (oneC * yy) + c;
    at(r, 1, 2) = (oneC * yz) - xs;
    at(r, 2, 0) = (oneC * zx) - ys;
    at(r, 2, 1) = (oneC * yz) + xs;
    at(r, 2, 2) = (oneC * zz) + c;
    return true;
}

}  // namespace

void loadIdentity(GlMatrix& mat) {
    for (int k = 0; k < 16; ++k) mat.m[k] = k % 5 == 0 ? 1.0f : 0.0f;
    mat.general = false;
}

void translate(GlMatrix& mat, float x, float y, float z) {
    float* m = mat.m;
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
}

void rotate(GlMatrix& mat, float angle, float x, float y, float z) {
    if (angle == 0) return;  // the GL does nothing at all for a zero angle
    float r[16], product[16];
    if (!rotation(r, angle, x, y, z)) return;
    if (mat.general)
        multiply4(product, mat.m, r);
    else
        multiply34(product, mat.m, r);
    std::memcpy(mat.m, product, sizeof product);
}

void scale(GlMatrix& mat, float x, float y, float z) {
    float* m = mat.m;
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void transformPoint(const float* m, const float in[4], float out[4]) {
    for (int k = 0; k < 4; ++k)
        out[k] = m[k] * in[0] + m[4 + k] * in[1] + m[8 + k] * in[2] + m[12 + k] * in[3];
}

void transformDirection(const float* m, const float in[3], float out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = in[0] * m[k] + in[1] * m[4 + k] + in[2] * m[8 + k];
}
