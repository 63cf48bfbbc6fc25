// Records the GL and GLU calls the support module makes, exactly as made.
// The test binary is linked with --wrap for each recorded function.
#ifndef MIROVAN_TESTS_SUPPORT_CALL_RECORDER_H
#define MIROVAN_TESTS_SUPPORT_CALL_RECORDER_H

#include <cstring>

struct GlCall {
    const char* name;
    int count;
    double arg[6];
    bool is(const char* n) const { return std::strcmp(name, n) == 0; }
};

// Starts a fresh recording; calls still reach the GL.
void startRecording();
void stopRecording();
// While muted the wrapped calls do not reach the GL, so the driver's own
// work (shader compiles and the like) stays out of measurements.
void muteGl(bool muted);
int recordedCount();
const GlCall& recorded(int k);

#endif
