// Display lists of boxes and spheres, one per distinct size, held while the
// frames use them: a size no frame drew since the previous frame start is
// freed, and the cache never holds more than kMaxShapeLists sizes.
#ifndef MIROVAN_SUPPORT_SHAPE_CACHE_H
#define MIROVAN_SUPPORT_SHAPE_CACHE_H

#include <GL/gl.h>

#include "support/support_state.h"  // kMaxShapeLists

constexpr int kSphereShape = 10;
constexpr int kBoxShape = 12;
constexpr int kMaxShapeParams = 3;

// The list for exactly these values, or 0. Sizes compare as doubles do,
// except that a NaN matches any NaN in the same place.
GLuint findShapeList(int kind, const double* params, int count);

// A new list name recorded for these values, or 0 (and nothing recorded)
// when the cache is full or the GL gives no name.
GLuint addShapeList(int kind, const double* params, int count);

// A frame starts: the lists of sizes unused since the previous call are
// deleted. Needs the GL context of the lists.
void startShapeFrame();

#endif
