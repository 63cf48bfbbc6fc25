// Frame marks and reset, spread over the parts that own the state.
#include "support/support_state.h"

#include "notices.h"
#include "support_internal.h"

void markFrameStart() {
    markMaterialFrame();
    markLightFrame();
    forgetModelviews();
}

void restoreFrameStart() {
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
