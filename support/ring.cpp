#include "ring.h"

#include <cmath>

namespace {

// A decimal step, a little short of 2*pi/50; the last segment makes up the
// difference because point 50 is set to angle 0 outright.
constexpr double kStep = 0.1256636;

Ring makeRing() {
    Ring r{};
    r.cosine[0] = r.cosine[kRingPoints - 1] = 1;
    r.sine[0] = r.sine[kRingPoints - 1] = 0;
    for (int i = 1; i < kRingPoints - 1; ++i) {
        const double angle = i * kStep;
        r.cosine[i] = std::cos(angle);
        r.sine[i] = std::sin(angle);
    }
    return r;
}

}  // namespace

const Ring& ring() {
    static const Ring shared = makeRing();
    return shared;
}
