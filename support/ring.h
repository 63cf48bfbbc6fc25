// The 51 ring angles shared by the cylinder and the cone.
#ifndef MIROVAN_SUPPORT_RING_H
#define MIROVAN_SUPPORT_RING_H

constexpr int kRingPoints = 51;  // point 50 closes the ring at angle 0

struct Ring {
    double cosine[kRingPoints];
    double sine[kRingPoints];
};

// Computed on first use, then shared: the same values every call.
const Ring& ring();

#endif
