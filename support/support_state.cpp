// Frame marks and reset, spread over the parts that own the state.
#include "support_state.h"

#include "notices.h"
#include "support_internal.h"

void markFrameStart() {
    markMaterialFrame();
    markLightFrame();
}

void restoreFrameStart() {
    restoreMaterialFrame();
    restoreLightFrame();
}

void resetSupportState() {
    forgetMaterials();
    forgetLights();
    forgetShapeLists();
    clearNotices();
}
