// Between the headless module's own files.
#ifndef MIROVAN_HEADLESS_INTERNAL_H
#define MIROVAN_HEADLESS_INTERNAL_H

// Size of the open surface; false when no context is open.
bool headlessSurfaceSize(int& width, int& height);

#endif
