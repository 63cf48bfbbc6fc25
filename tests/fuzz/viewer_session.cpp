#include "fuzz/viewer_session.h"

#include "common/window_defaults.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "headless/headless.h"
#include "support/support_state.h"
#include "viewer/keys.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

namespace {

const char* const kNotices[] = {
    "Trop de materiaux empiles!!!\n", "Pile de materiaux vide!!!\n",
    "Trop de lumieres!!!\n",          "Trop d'ensembles de lumieres empiles!!!\n",
    "Pile de lumieres vide!!!\n",
};

}  // namespace

void openViewerSession() {
    if (!openHeadlessContext(kViewerSurface, kViewerSurface)) {
        std::fprintf(stderr, "no offscreen context: %s\n", headlessError());
        std::abort();
    }
    freshViewerState();
}

void freshViewerState() {
    resetSupportState();
    resetView();
    stopSpin();
    setFrameDrawer(drawScene);
    restoreWindowDefaults(kViewerSurface);
}

std::string checkFrameLeft(AfterFrame& after) {
    GLint depth = 0, mode = 0, list = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_LIST_INDEX, &list);
    if (depth != 1) return "modelview stack depth " + std::to_string(depth) + " after the frame";
    if (mode != GL_MODELVIEW) return "matrix mode changed";
    if (list != 0) return "a display list left open";
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int k = 0; k < 16; ++k)
        if (m[k] != (k % 5 == 0 ? 1.0f : 0.0f)) return "modelview not the identity after the frame";
    after = {materialStackDepth(), lightStackDepth(), currentLightCount(), shapeListCount()};
    if (after.lights < 0 || after.lights > 8) return "light count " + std::to_string(after.lights);
    if (after.materialDepth < 0 || after.lightDepth < 0) return "a stack depth below zero";
    int enabled = 0;
    for (int k = 0; k < 8; ++k) enabled += glIsEnabled(GL_LIGHT0 + k) ? 1 : 0;
    if (enabled != (after.lights > 0 ? after.lights : 1))
        return std::to_string(enabled) + " GL lights on for a set of " +
               std::to_string(after.lights);
    return "";
}

std::string withoutNotices(std::string echo) {
    for (const char* notice : kNotices) {
        const std::string n = notice;
        for (std::size_t at; (at = echo.find(n)) != std::string::npos;) echo.erase(at, n.size());
    }
    return echo;
}
