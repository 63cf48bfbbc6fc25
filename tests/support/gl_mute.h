// Silences the GL and GLU calls the support module draws with, so that the
// driver's own work (shader compiles and the like) stays out of what a test
// measures. The test binary is linked with --wrap for each of them.
#ifndef MIROVAN_TESTS_SUPPORT_GL_MUTE_H
#define MIROVAN_TESTS_SUPPORT_GL_MUTE_H

void muteGl(bool muted);

#endif
