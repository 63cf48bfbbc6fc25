// Float sine and cosine for the WebAssembly build, giving what the native
// build's C library gives (emscripten's own differ in the last bit on a few
// angles in a hundred, and rotations would differ). The same method: the
// angle in double, brought into [-pi/4, pi/4] by multiples of pi/2, then
// short polynomials for sine or cosine, with glibc's coefficients (Arm's
// optimized routines) and its order of operations.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "float_trig.h"

namespace {

struct Trig {
    double sign[4];
    double halfPiInverse;  // 2/pi * 2^24
    double halfPi;
    double c0, c1, s1, c2, s2, c3, s3, c4;
};

const Trig kTrig[2] = {
    {{1.0, -1.0, -1.0, 1.0},
     0x1.45F306DC9C883p+23,
     0x1.921FB54442D18p0,
     0x1p0,
     -0x1.ffffffd0c621cp-2,
     -0x1.555545995a603p-3,
     0x1.55553e1068f19p-5,
     0x1.1107605230bc4p-7,
     -0x1.6c087e89a359dp-10,
     -0x1.994eb3774cf24p-13,
     0x1.99343027bf8c3p-16},
    {{1.0, -1.0, -1.0, 1.0},
     0x1.45F306DC9C883p+23,
     0x1.921FB54442D18p0,
     -0x1p0,
     0x1.ffffffd0c621cp-2,
     -0x1.555545995a603p-3,
     -0x1.55553e1068f19p-5,
     0x1.1107605230bc4p-7,
     0x1.6c087e89a359dp-10,
     -0x1.994eb3774cf24p-13,
     -0x1.99343027bf8c3p-16},
};

std::uint32_t bits(float x) {
    std::uint32_t u;
    std::memcpy(&u, &x, sizeof u);
    return u;
}

// The exponent field with the sign dropped: compares magnitudes coarsely.
std::uint32_t top12(float x) { return (bits(x) >> 20) & 0x7ff; }

// Odd n: the cosine polynomial, even n: the sine's.
float polynomial(double x, double x2, const Trig* p, int n) {
    if ((n & 1) == 0) {
        const double x3 = x * x2;
        const double s1 = p->s2 + x2 * p->s3;
        const double x7 = x3 * x2;
        const double s = x + x3 * p->s1;
        return static_cast<float>(s + x7 * s1);
    }
    const double x4 = x2 * x2;
    const double c2 = p->c3 + x2 * p->c4;
    const double c1 = p->c0 + x2 * p->c1;
    const double x6 = x4 * x2;
    const double c = c1 + x4 * p->c2;
    return static_cast<float>(c + x6 * c2);
}

double reduceFast(double x, const Trig* p, int& n) {
    const double r = x * p->halfPiInverse;
    n = (static_cast<std::int32_t>(r) + 0x800000) >> 24;
    return x - n * p->halfPi;
}

float sineOrCosine(float y, int cosine) {
    double x = y;
    const Trig* p = &kTrig[0];
    if (top12(y) < top12(0x1.921FB6p-1f)) {
        if (top12(y) < top12(0x1p-12f)) return cosine ? 1.0f : y;
        return polynomial(x, x * x, p, cosine);
    }
    if (top12(y) < top12(120.0f)) {
        int n;
        x = reduceFast(x, p, n);
        const double s = p->sign[n & 3];
        if (n & 2) p = &kTrig[1];
        return polynomial(x * s, x * x, p, n ^ cosine);
    }
    // Far angles (beyond 120 radians, 6875 degrees) and non-finite ones: the
    // double functions, rounded once, which may differ in the last bit.
    return static_cast<float>(cosine ? std::cos(x) : std::sin(x));
}

}  // namespace

float nativeSine(float x) { return sineOrCosine(x, 0); }
float nativeCosine(float x) { return sineOrCosine(x, 1); }

#ifdef MIROVAN_WASM
// In place of the C library's, for every caller in the module.
extern "C" float sinf(float x) { return sineOrCosine(x, 0); }
extern "C" float cosf(float x) { return sineOrCosine(x, 1); }
#endif
