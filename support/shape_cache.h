// Display lists of boxes and spheres, one per distinct size, kept for the
// whole run.
#ifndef MIROVAN_SUPPORT_SHAPE_CACHE_H
#define MIROVAN_SUPPORT_SHAPE_CACHE_H

#include <GL/gl.h>

constexpr int kSphereShape = 10;
constexpr int kBoxShape = 12;
constexpr int kMaxShapeParams = 3;

// The list for exactly these values, or 0. Sizes compare as doubles do,
// except that a NaN matches any NaN in the same place.
GLuint findShapeList(int kind, const double* params, int count);

// A new list name recorded for these values, or 0 (and nothing recorded)
// when the GL gives no name.
GLuint addShapeList(int kind, const double* params, int count);

#endif
