#include "gltf_affine.h"

#include <cmath>
#include <utility>

namespace {

using Vec = double[3];

double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double length(const double* a) { return std::sqrt(dot(a, a)); }
void cross(const double* a, const double* b, double* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}
bool normalise(double* a) {
    const double l = length(a);
    if (!(l > 1e-300) || !std::isfinite(l)) return false;
    for (int i = 0; i < 3; ++i) a[i] /= l;
    return true;
}

// Makes u[0..2] an orthonormal right-handed frame, keeping the directions
// of the columns marked valid (in order) and completing the others; the
// caller mends the handedness.
void completeFrame(Vec* u, bool* valid) {
    for (int i = 0; i < 3; ++i) {
        if (!valid[i]) continue;
        for (int j = 0; j < i; ++j) {
            if (!valid[j]) continue;
            const double d = dot(u[i], u[j]);
            for (int k = 0; k < 3; ++k) u[i][k] -= d * u[j][k];
        }
        valid[i] = normalise(u[i]);
    }
    for (int i = 0; i < 3; ++i) {
        if (valid[i]) continue;
        int a = -1, b = -1;
        for (int j = 0; j < 3; ++j)
            if (valid[j] && j != i) (a < 0 ? a : b) = j;
        if (a >= 0 && b >= 0) {
            cross(u[a], u[b], u[i]);
        } else if (a >= 0) {
            // Any direction across u[a]: the axis it leans on least.
            const double* w = u[a];
            int axis = 0;
            for (int k = 1; k < 3; ++k)
                if (std::fabs(w[k]) < std::fabs(w[axis])) axis = k;
            double e[3] = {0, 0, 0};
            e[axis] = 1;
            cross(w, e, u[i]);
        } else {
            for (int k = 0; k < 3; ++k) u[i][k] = k == i ? 1 : 0;
        }
        valid[i] = normalise(u[i]);
    }
}

double determinant(const Vec* c) {
    double x[3];
    cross(c[1], c[2], x);
    return dot(c[0], x);
}

// Columns c of a rotation matrix to a unit quaternion.
void quaternionOf(const Vec* c, double* q) {
    const double m00 = c[0][0], m11 = c[1][1], m22 = c[2][2];
    const double trace = m00 + m11 + m22;
    if (trace > 0) {
        const double s = 2 * std::sqrt(trace + 1);
        q[3] = s / 4;
        q[0] = (c[1][2] - c[2][1]) / s;
        q[1] = (c[2][0] - c[0][2]) / s;
        q[2] = (c[0][1] - c[1][0]) / s;
    } else if (m00 > m11 && m00 > m22) {
        const double s = 2 * std::sqrt(1 + m00 - m11 - m22);
        q[3] = (c[1][2] - c[2][1]) / s;
        q[0] = s / 4;
        q[1] = (c[1][0] + c[0][1]) / s;
        q[2] = (c[2][0] + c[0][2]) / s;
    } else if (m11 > m22) {
        const double s = 2 * std::sqrt(1 + m11 - m00 - m22);
        q[3] = (c[2][0] - c[0][2]) / s;
        q[0] = (c[1][0] + c[0][1]) / s;
        q[1] = s / 4;
        q[2] = (c[2][1] + c[1][2]) / s;
    } else {
        const double s = 2 * std::sqrt(1 + m22 - m00 - m11);
        q[3] = (c[0][1] - c[1][0]) / s;
        q[0] = (c[2][0] + c[0][2]) / s;
        q[1] = (c[2][1] + c[1][2]) / s;
        q[2] = s / 4;
    }
    const double l = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (int i = 0; i < 4; ++i) q[i] /= l;
    if (q[3] < 0)
        for (int i = 0; i < 4; ++i) q[i] = -q[i];
}

// Eigenvectors (columns of v) and eigenvalues of a symmetric 3 x 3 matrix,
// by Jacobi rotations.
void symmetricEigen(double b[3][3], Vec* v, double* values) {
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) v[i][k] = i == k ? 1 : 0;
    // Each sweep squares the remaining error. The nodes hold floats: an
    // off-diagonal part below 1e-7 of the diagonal is exact enough.
    for (int sweep = 0; sweep < 12; ++sweep) {
        const double off = b[0][1] * b[0][1] + b[0][2] * b[0][2] + b[1][2] * b[1][2];
        const double diag = b[0][0] * b[0][0] + b[1][1] * b[1][1] + b[2][2] * b[2][2];
        if (!(off > 1e-14 * diag)) break;
        for (int p = 0; p < 2; ++p) {
            for (int q = p + 1; q < 3; ++q) {
                if (b[p][q] == 0) continue;
                const double theta = (b[q][q] - b[p][p]) / (2 * b[p][q]);
                const double t =
                    (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 3; ++k) {  // b = J^T b J
                    const double bkp = b[k][p], bkq = b[k][q];
                    b[k][p] = c * bkp - s * bkq;
                    b[k][q] = s * bkp + c * bkq;
                }
                for (int k = 0; k < 3; ++k) {
                    const double bpk = b[p][k], bqk = b[q][k];
                    b[p][k] = c * bpk - s * bqk;
                    b[q][k] = s * bpk + c * bqk;
                }
                for (int k = 0; k < 3; ++k) {  // v = v J, columns p and q
                    const double vp = v[p][k], vq = v[q][k];
                    v[p][k] = c * vp - s * vq;
                    v[q][k] = s * vp + c * vq;
                }
            }
        }
    }
    for (int i = 0; i < 3; ++i) values[i] = b[i][i];
}

// The same in closed form (the trigonometric solution of the cubic, then
// each outer eigenvector across two rows of B - lambda I), several times
// faster; false when two eigenvalues lie too close for that to be exact,
// and Jacobi rotations do it instead.
bool closedFormEigen(const double b[3][3], Vec* v, double* values) {
    const double p1 = b[0][1] * b[0][1] + b[0][2] * b[0][2] + b[1][2] * b[1][2];
    const double q = (b[0][0] + b[1][1] + b[2][2]) / 3;
    const double d0 = b[0][0] - q, d1 = b[1][1] - q, d2 = b[2][2] - q;
    const double p = std::sqrt((d0 * d0 + d1 * d1 + d2 * d2 + 2 * p1) / 6);
    if (!(p > 0)) return false;
    // det((B - qI) / p) / 2
    const double r =
        (d0 * (d1 * d2 - b[1][2] * b[1][2]) - b[0][1] * (b[0][1] * d2 - b[1][2] * b[0][2]) +
         b[0][2] * (b[0][1] * b[1][2] - d1 * b[0][2])) /
        (2 * p * p * p);
    const double phi = std::acos(std::fmax(-1.0, std::fmin(1.0, r))) / 3;
    const double largest = q + 2 * p * std::cos(phi);
    const double smallest = q + 2 * p * std::cos(phi + 2 * 3.14159265358979323846 / 3);
    const double middle = 3 * q - largest - smallest;
    const double scale = std::fabs(largest) + std::fabs(smallest);
    if (largest - middle < 1e-4 * scale || middle - smallest < 1e-4 * scale) return false;
    auto vectorOf = [&](double lambda, double* out) {
        const double rows[3][3] = {{b[0][0] - lambda, b[0][1], b[0][2]},
                                   {b[1][0], b[1][1] - lambda, b[1][2]},
                                   {b[2][0], b[2][1], b[2][2] - lambda}};
        double best = 0;
        for (int i = 0; i < 3; ++i) {
            double c[3];
            cross(rows[i], rows[(i + 1) % 3], c);
            const double l = dot(c, c);
            if (l > best) best = l, out[0] = c[0], out[1] = c[1], out[2] = c[2];
        }
        return best > 0 && normalise(out);
    };
    if (!vectorOf(largest, v[0]) || !vectorOf(smallest, v[2])) return false;
    cross(v[2], v[0], v[1]);
    if (!normalise(v[1])) return false;
    cross(v[0], v[1], v[2]);  // exactly across the other two
    values[0] = largest, values[1] = middle, values[2] = smallest;
    return true;
}

void apply(const double* m, const double* x, double* out) {
    for (int r = 0; r < 3; ++r) out[r] = m[r] * x[0] + m[4 + r] * x[1] + m[8 + r] * x[2];
}

}  // namespace

bool finiteAffine(const double* m) {
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(m[i]) || std::fabs(m[i]) > 3e38) return false;
    return true;
}

TrsSplit splitAffine(const double* m) {
    TrsSplit split{{m[12], m[13], m[14]}, {0, 0, 0, 1}, {1, 1, 1}, false, {0, 0, 0, 1}};
    Vec column[3];
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) column[i][k] = m[4 * i + k];
    double lengths[3];
    for (int i = 0; i < 3; ++i) lengths[i] = length(column[i]);
    const double largest = std::fmax(lengths[0], std::fmax(lengths[1], lengths[2]));
    const double tiny = largest * 1e-9;

    // Columns at right angles: one node, the columns' lengths its scale.
    bool orthogonal = true;
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (std::fabs(dot(column[i], column[j])) > 1e-6 * lengths[i] * lengths[j])
                orthogonal = false;

    Vec u[3];
    bool valid[3];
    if (orthogonal) {
        for (int i = 0; i < 3; ++i) {
            split.scale[i] = lengths[i] > tiny ? lengths[i] : 0;
            valid[i] = lengths[i] > tiny;
            for (int k = 0; k < 3; ++k) u[i][k] = valid[i] ? column[i][k] / lengths[i] : 0;
        }
    } else {
        // A = U S V^T: V from the eigenvectors of A^T A, U = A V / S.
        double b[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) b[i][j] = dot(column[i], column[j]);
        Vec v[3];
        double values[3];
        if (!closedFormEigen(b, v, values)) symmetricEigen(b, v, values);
        if (determinant(v) < 0)
            for (int k = 0; k < 3; ++k) v[2][k] = -v[2][k];
        for (int i = 0; i < 3; ++i) {
            apply(m, v[i], u[i]);
            const double s = length(u[i]);
            split.scale[i] = s > tiny ? s : 0;
            valid[i] = s > tiny;
            for (int k = 0; k < 3; ++k) u[i][k] = valid[i] ? u[i][k] / s : 0;
        }
        // The child node turns by V^T: the rotation whose rows are V's columns.
        Vec vt[3];
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 3; ++k) vt[i][k] = v[k][i];
        split.inner = true;
        quaternionOf(vt, split.innerRotation);
    }
    completeFrame(u, valid);
    if (determinant(u) < 0) {  // a mirror: one negative scale
        for (int k = 0; k < 3; ++k) u[2][k] = -u[2][k];
        split.scale[2] = -split.scale[2];
    }
    quaternionOf(u, split.rotation);
    return split;
}

void composeTrs(const double* t, const double* q, const double* s, double* m) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double r[9] = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),
                         2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
                         2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y)};
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 3; ++k) m[4 * c + k] = r[3 * c + k] * s[c];
        m[4 * c + 3] = 0;
    }
    m[12] = t[0], m[13] = t[1], m[14] = t[2], m[15] = 1;
}

void multiplyAffine(const double* a, const double* b, double* out) {
    double r[16];
    for (int c = 0; c < 4; ++c)
        for (int k = 0; k < 4; ++k)
            r[4 * c + k] = a[k] * b[4 * c] + a[4 + k] * b[4 * c + 1] + a[8 + k] * b[4 * c + 2] +
                           a[12 + k] * b[4 * c + 3];
    for (int i = 0; i < 16; ++i) out[i] = r[i];
}

bool invertAffine(const double* m, double* out) {
    const double a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6],
                 i = m[10];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (!std::isfinite(det) || std::fabs(det) < 1e-18) return false;
    const double inv[9] = {(e * i - f * h) / det, (c * h - b * i) / det, (b * f - c * e) / det,
                           (f * g - d * i) / det, (a * i - c * g) / det, (c * d - a * f) / det,
                           (d * h - e * g) / det, (b * g - a * h) / det, (a * e - b * d) / det};
    // inv is row-major; out is column-major.
    for (int r = 0; r < 3; ++r) {
        for (int col = 0; col < 3; ++col) out[4 * col + r] = inv[3 * r + col];
        out[4 * r + 3] = 0;
    }
    for (int r = 0; r < 3; ++r)
        out[12 + r] = -(inv[3 * r] * m[12] + inv[3 * r + 1] * m[13] + inv[3 * r + 2] * m[14]);
    out[15] = 1;
    return finiteAffine(out);
}

void rotationFromMinusZ(const double* direction, double* q) {
    double d[3] = {direction[0], direction[1], direction[2]};
    q[0] = q[1] = q[2] = 0, q[3] = 1;
    if (!normalise(d)) return;
    // Half-way quaternion between -z and d; opposite vectors turn about y.
    const double from[3] = {0, 0, -1};
    const double c = dot(from, d);
    if (c < -1 + 1e-12) {
        q[1] = 1, q[3] = 0;
        return;
    }
    double axis[3];
    cross(from, d, axis);
    q[0] = axis[0], q[1] = axis[1], q[2] = axis[2], q[3] = 1 + c;
    const double l = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (int i = 0; i < 4; ++i) q[i] /= l;
}
