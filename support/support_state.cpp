// Frame marks and reset, spread over the parts that own the state.
#include "support/support_state.h"

#include "notices.h"
#include "shape_cache.h"
#include "support_internal.h"

void markFrameStart() {
    startShapeFrame();
    markMaterialFrame();
    markLightFrame();
    forgetModelviews();
}

void restoreFrameStart() {
    startShapeFrame();
    restoreMaterialFrame();
    restoreLightFrame();
    forgetModelviews();
}

void resetSupportState() {
    forgetMaterials();
    forgetLights();
    forgetShapeLists();
    forgetModelviews();
    clearNotices();
}
